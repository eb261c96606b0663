#pragma once
// The progress caption of the download screen: elapsed seconds and the percentage.
#include <string>

// Up to 60 s "Elapsed time : %d sec - %d%%", from 61 s on "Elapsed time : %d min %d sec - %d%%".
std::string FormatElapsedText(int nElapsedSeconds, int nPercent);
