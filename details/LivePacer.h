#pragma once

#include <chrono>

namespace lumarel {

// When the live page asks for a new page: once the details have rested for a pause, and never
// while one is being made. Changes during the making ask for one more page after it, however
// many there were. The window keeps the timer; this only says what to do at each event.
class LivePacer
{
public:
    enum class State
    {
        Idle,
        Waiting,       // for the pause after the last change
        Making,        // a page, from the details as they are
        MakingChanged, // a page, and the details changed since; the pause is running
        MakingRested   // a page, and the details changed since and have rested
    };

    // No wait of its own: a page is asked at once when none is being made, and the changes
    // made while one is come together in the next, so a page follows the last change within
    // the time of two. The timer's turn of the event loop still gathers the changes of one
    // command (Clear, Load Sample, Undo) into one page.
    static constexpr std::chrono::milliseconds kPause{0};

    explicit LivePacer(std::chrono::milliseconds pause = kPause) : m_pause(pause) {}

    std::chrono::milliseconds pause() const { return m_pause; }
    State state() const { return m_state; }

    // Each of these returns true when a page is to be asked for now.
    // The details, the design or the paper changed: the pause starts again.
    void changed();
    // The pause since the last change is over.
    bool paused();
    // The page asked for is there, or failed.
    bool made();
    // The live page is turned off: nothing more is asked for (a page being made still ends).
    void stop();

private:
    std::chrono::milliseconds m_pause;
    State m_state = State::Idle;
};

} // namespace lumarel
