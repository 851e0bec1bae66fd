#include "office/OfficeLoan.h"

#include "office/OfficeEngine.h"
#include "office/OfficePool.h"

#include <exception>
#include <utility>

namespace lumarel {

bool OfficeLoan::takePrepared(const OfficeEngine&)
{
    return false;
}

OfficeEngine& PooledOffices::take()
{
    return m_pool.take();
}

void PooledOffices::giveBack(OfficeEngine* office, bool failed)
{
    if (office)
        m_pool.giveBack(*office, failed);
}

OfficeUse::OfficeUse(OfficeLoan& loan) : m_loan(loan), m_exceptions(std::uncaught_exceptions()) {}

OfficeUse::~OfficeUse()
{
    if (std::uncaught_exceptions() > m_exceptions)
        m_failed = true;
    end();
}

OfficeEngine& OfficeUse::office()
{
    if (m_office && m_office->answers())
        return *m_office;
    if (m_office) {
        m_failed = true;
        end();
    }
    // Marked first: a loan whose take() throws is still told that the use ended.
    m_taking = true;
    m_office = &m_loan.take();
    return *m_office;
}

void OfficeUse::end()
{
    if (!std::exchange(m_taking, false))
        return;
    m_loan.giveBack(std::exchange(m_office, nullptr), std::exchange(m_failed, false));
}

} // namespace lumarel
