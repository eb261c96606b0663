#include "download/write_rate.h"

void CWriteRate::Begin(int64_t nNowMs)
{
    if (m_nBeginMs < 0) {
        m_nBeginMs = nNowMs;
    }
}

void CWriteRate::Update(uint64_t nDone, int64_t nNowMs)
{
    Begin(nNowMs);
    m_nDone = nDone;
}

double CWriteRate::BytesPerSecond(int64_t nNowMs) const
{
    if (m_nBeginMs < 0 || nNowMs <= m_nBeginMs) {
        return 0.0;
    }
    return static_cast<double>(m_nDone) * 1000.0 / static_cast<double>(nNowMs - m_nBeginMs);
}

double CWriteRate::SecondsLeft(int64_t nNowMs)
{
    if (m_nBeginMs < 0 || nNowMs - m_nBeginMs < SETTLE_MS || m_nDone == 0) {
        return -1.0;
    }
    if (m_nDone >= m_nTotal) {
        return 0.0;  // all written: nothing to hold back
    }
    if (m_nShownAtMs >= 0 && nNowMs - m_nShownAtMs < REFRESH_MS) {
        return m_dShown;
    }
    const uint64_t nLeft = m_nTotal > m_nDone ? m_nTotal - m_nDone : 0;
    m_dShown = static_cast<double>(nLeft) / BytesPerSecond(nNowMs);
    m_nShownAtMs = nNowMs;
    return m_dShown;
}
