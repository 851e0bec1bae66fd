#pragma once

#include "app/StepTrap.h"

#include <functional>

namespace lumarel::test {

// Runs `action` once, as the step at `line` of a procedure starts ("Form1", "PushButton6_Click"):
// a test acts amid a run at a point of the run itself, however fast or slow the machine. The
// watch ends with the object, also when the test fails on the way.
class AtStep
{
public:
    AtStep(const char* window, const char* procedure, int line, std::function<void()> action)
    {
        const QString location = locationText(window, procedure);
        StepTrap::watchStepsForTests(
            [this, location, line, action = std::move(action)](const QString& at, int atLine) {
                if (m_reached || at != location || atLine != line)
                    return;
                m_reached = true;
                action();
            });
    }
    ~AtStep() { StepTrap::watchStepsForTests(nullptr); }
    AtStep(const AtStep&) = delete;
    AtStep& operator=(const AtStep&) = delete;

    bool reached() const { return m_reached; }

private:
    bool m_reached = false;
};

} // namespace lumarel::test
