#include "cli/eta.h"

#include <cmath>
#include <cstdio>

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

std::string FormatTimeLeft(double dSeconds)
{
    const long long nSeconds = std::llround(dSeconds);
    if (dSeconds < 0.0 || nSeconds == 0) {
        return {};  // no estimate yet, or the writing is over
    }
    char szText[64];
    if (nSeconds < 60) {
        std::snprintf(szText, sizeof(szText), "about %lld s left", nSeconds);
    } else {
        std::snprintf(szText, sizeof(szText), "about %lld min %lld s left", nSeconds / 60, nSeconds % 60);
    }
    return szText;
}

std::string FormatWriteSummary(uint64_t nBytes, int nPartitions, double dSeconds)
{
    const double dRate = dSeconds > 0.0 ? static_cast<double>(nBytes) / 1024.0 / dSeconds : 0.0;
    char szText[160];
    std::snprintf(szText, sizeof(szText), "Wrote %llu bytes in %d partition%s in %.0f s (%.1f KB/s)",
                  static_cast<unsigned long long>(nBytes), nPartitions, nPartitions == 1 ? "" : "s", dSeconds,
                  dRate);
    return szText;
}
