#include "download/elapsed_text.h"

#include <cstdio>

std::string FormatElapsedText(int nElapsedSeconds, int nPercent)
{
    char szText[96];
    if (nElapsedSeconds <= 60) {
        std::snprintf(szText, sizeof(szText), "Elapsed time : %d sec - %d%%", nElapsedSeconds, nPercent);
    } else {
        std::snprintf(szText, sizeof(szText), "Elapsed time : %d min %d sec - %d%%", nElapsedSeconds / 60,
                      nElapsedSeconds % 60, nPercent);
    }
    return szText;
}
