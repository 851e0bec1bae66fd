#pragma once

#include <chrono>
#include <optional>

namespace lumarel {

// When the live page asks for a new page: at once after a change made at rest, once the
// details have rested for a pause after a change made amid others, and never while one is being
// made. Changes during the making ask for one more page after it, however many there were. The
// window keeps the timer; this only says what to do at each event.
class LivePacer
{
public:
    using Clock = std::chrono::steady_clock;

    enum class State
    {
        Idle,
        Waiting,       // for the pause after the last change
        Making,        // a page, from the details as they are
        MakingChanged, // a page, and the details changed since; the pause is running
        MakingRested   // a page, and the details changed since and have rested
    };

    // A single change shows at once; while keys come quicker than this, the office is left
    // alone until they stop, so that it takes no processor time from the typing.
    static constexpr std::chrono::milliseconds kPause{330};

    explicit LivePacer(std::chrono::milliseconds pause = kPause) : m_pause(pause) {}

    State state() const { return m_state; }

    // The details, the design or the paper changed at `at`: returns how long the window is to
    // wait before paused(). A change within the pause after the one before waits for the
    // pause; the changes of one command (Clear, Load Sample, Undo) come in the same turn of the
    // event loop and keep the first one's wait of none.
    std::chrono::milliseconds changed(Clock::time_point at);
    // Each of these returns true when a page is to be asked for now.
    // The wait since the last change is over.
    bool paused();
    // The page asked for is there, or failed.
    bool made();
    // The live page is turned off: nothing more is asked for (a page being made still ends).
    void stop();

private:
    std::chrono::milliseconds m_pause;
    State m_state = State::Idle;
    std::optional<Clock::time_point> m_lastChange; // none: the first change is at rest
    bool m_atOnce = false;                         // the wait running is the at-once one
};

} // namespace lumarel
