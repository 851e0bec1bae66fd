#include "office/OfficeSession.h"

#include "office/OfficeEngine.h"

#include <exception>
#include <utility>

namespace lumarel {

OfficeSession::OfficeSession(OfficePool& pool)
    : m_pool(&pool), m_exceptions(std::uncaught_exceptions())
{
}

OfficeSession::OfficeSession(OfficeEngine& kept)
    : m_kept(&kept), m_exceptions(std::uncaught_exceptions())
{
}

OfficeSession::~OfficeSession()
{
    if (std::uncaught_exceptions() > m_exceptions)
        m_failed = true;
    end();
}

OfficeEngine& OfficeSession::office()
{
    if (m_kept)
        return *(m_office = m_kept);
    if (m_office && m_office->answers())
        return *m_office;
    if (m_office) {
        m_failed = true;
        end();
    }
    // Marked first: a take that throws still counts as a use that ended.
    m_taking = true;
    m_office = &m_pool->take(&m_ahead);
    return *m_office;
}

std::optional<OpenedAhead> OfficeSession::takeAhead(const QString& key)
{
    if (!m_ahead || m_ahead->key != key)
        return std::nullopt;
    return std::exchange(m_ahead, std::nullopt);
}

void OfficeSession::end()
{
    m_ahead.reset();
    OfficeEngine* const office = std::exchange(m_office, nullptr);
    const bool failed = std::exchange(m_failed, false);
    // Nothing to give back for a kept office, or a take that threw.
    if (std::exchange(m_taking, false) && office)
        m_pool->giveBack(*office, failed);
}

} // namespace lumarel
