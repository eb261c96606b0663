#include "cli/eta.h"

#include <cmath>
#include <cstdio>

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
