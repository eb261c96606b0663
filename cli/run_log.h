#pragma once
// krt-flash --log FILE: the engine's record of a run (CRunRecord), appended to a file per device.
#include <string>

#include "download/run_record.h"

using CRunLog = CRunRecord;

// The log of one device among several: "run.log" for COM7 becomes "run-COM7.log", for /dev/ttyUSB0
// "run-ttyUSB0.log".
std::string LogPathForPort(const std::string& strLog, const std::string& strPort);
