#pragma once

#include <QString>

#include <functional>
#include <utility>

namespace lumarel {

// The program's error convention for procedures made of numbered steps. A failing step is
// reported in one "Application Error" box naming the procedure and the step's number, and
// the procedure goes on with its next step. A failure anywhere below a step (in a service it
// calls) is reported under that step, since the exception unwinds to it.
class StepTrap
{
public:
    explicit StepTrap(QString location) : m_location(std::move(location)) {}

    // Runs one step; returns false when it failed (after the failure was reported).
    template <class Body> bool step(int line, Body&& body)
    {
        try {
            announceStep(line);
            std::forward<Body>(body)();
            return true;
        } catch (...) {
            reportCurrent(line);
            return false;
        }
    }

    // The test of a conditional block. A test that fails is reported and counts as true: the
    // block is entered although its test did not complete.
    template <class Condition> bool test(int line, Condition&& condition)
    {
        try {
            return std::forward<Condition>(condition)();
        } catch (...) {
            reportCurrent(line);
            return true;
        }
    }

    int failures() const { return m_failures; }
    const QString& location() const { return m_location; }

    // The exact text of the message box.
    static QString messageText(const QString& description, const QString& location, int line);
    static QString supportAddress();

    // Called with the procedure's location and the step's line as every step starts, before
    // its body; a test acts there amid a procedure, at a point it names instead of a moment
    // it guesses. A watcher that throws fails the step. An empty function removes it.
    using StepWatcher = std::function<void(const QString& location, int line)>;
    static void watchStepsForTests(StepWatcher watcher);

private:
    void announceStep(int line) const;
    void reportCurrent(int line);

    QString m_location;
    int m_failures = 0;
};

// The description of the exception being handled, as the user should read it; call it only
// inside a catch block.
QString describeCurrentException();

// The location text of a procedure: "in Ostrevan2021/08/31.<window>.<procedure> ".
QString locationText(const char* window, const char* procedure);

} // namespace lumarel
