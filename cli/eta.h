#pragma once
// The texts of the time left and of the writing's summary; the estimate is the engine's (CWriteRate).
#include <cstdint>
#include <string>

// "about 42 s left", "about 3 min 5 s left"; empty for no estimate and when nothing is left.
std::string FormatTimeLeft(double dSeconds);

// The closing line of a run: "Wrote 1234567 bytes in 4 partitions in 110 s (10.9 KB/s)".
std::string FormatWriteSummary(uint64_t nBytes, int nPartitions, double dSeconds);
