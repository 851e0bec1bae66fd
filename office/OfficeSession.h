#pragma once

#include "office/OfficePool.h"

#include <optional>

namespace lumarel {

class OfficeEngine;

// One use of an office: taken from a pool at the first office(), given back when the session
// ends, as failed when setFailed() said so or an exception ends it. A session over an office
// that its owner keeps gives nothing back.
class OfficeSession
{
public:
    explicit OfficeSession(OfficePool& pool);
    explicit OfficeSession(OfficeEngine& kept);
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // The session's office; one that no longer answers is given back as failed and replaced.
    // Throws Failure when none can be started.
    OfficeEngine& office();
    // The office taken, without asking it anything; null before office() or after end().
    OfficeEngine* current() const { return m_office; }
    void setFailed(bool failed) { m_failed = failed; }
    // What the office held opened ahead under `key`, unused; once: the caller takes it over.
    std::optional<OpenedAhead> takeAhead(const QString& key);
    // Gives the office back now; the next office() starts a new use.
    void end();

private:
    OfficePool* m_pool = nullptr;
    OfficeEngine* m_kept = nullptr;
    OfficeEngine* m_office = nullptr;
    std::optional<OpenedAhead> m_ahead;
    bool m_taking = false; // take() was called since the last end()
    bool m_failed = false;
    int m_exceptions;
};

} // namespace lumarel
