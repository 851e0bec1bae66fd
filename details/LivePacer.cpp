#include "details/LivePacer.h"

namespace lumarel {

std::chrono::milliseconds LivePacer::changed(Clock::time_point at)
{
    const bool atRest = !m_lastChange || at - *m_lastChange >= m_pause;
    m_lastChange = at;
    m_atOnce = m_atOnce || atRest;
    switch (m_state) {
    case State::Idle:
    case State::Waiting:
        m_state = State::Waiting;
        break;
    case State::Making:
    case State::MakingChanged:
    case State::MakingRested:
        m_state = State::MakingChanged;
        break;
    }
    return m_atOnce ? std::chrono::milliseconds(0) : m_pause;
}

bool LivePacer::paused()
{
    m_atOnce = false;
    switch (m_state) {
    case State::Waiting:
        m_state = State::Making;
        return true;
    case State::MakingChanged:
        m_state = State::MakingRested;
        return false;
    default:
        return false;
    }
}

bool LivePacer::made()
{
    switch (m_state) {
    case State::Making:
        m_state = State::Idle;
        return false;
    case State::MakingChanged:
        // The pause still runs; its end asks.
        m_state = State::Waiting;
        return false;
    case State::MakingRested:
        m_state = State::Making;
        return true;
    default:
        return false;
    }
}

void LivePacer::stop()
{
    m_atOnce = false;
    switch (m_state) {
    case State::Waiting:
        m_state = State::Idle;
        break;
    case State::MakingChanged:
    case State::MakingRested:
        m_state = State::Making;
        break;
    default:
        break;
    }
}

} // namespace lumarel
