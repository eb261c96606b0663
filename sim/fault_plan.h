#pragma once
// Faults injected on request. A rule picks occurrences of a command kind (or, for the reply shapes, of
// replies in general) and does one thing to them.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/device_protocol.h"

namespace Sim {

enum FaultKind {
    FAULT_NO_REPLY = 0,  // the command is lost: not carried out, not answered
    FAULT_STATUS,        // the command is refused with nValue as the status, not carried out
    FAULT_DELAY,         // carried out, answered nValue milliseconds late
    FAULT_BAD_CRC,       // carried out, answered with a wrong CRC
    FAULT_SPLIT,         // the reply goes out in pieces (nSplit)
    FAULT_GARBAGE,       // the garbage bytes follow the reply
};

enum SplitMode {
    SPLIT_TRAILING_FLAG = 0,  // everything but the closing flag, then the flag alone
    SPLIT_AFTER_TAG,          // opening flag and tag, then the rest
    SPLIT_EXTRA_BYTE,         // one byte (nValue) after the closing flag, in the same write
    SPLIT_LEADING_7F,         // a 0x7F before the opening flag, in the same write
};

struct FaultRule {
    FaultKind nFault = FAULT_NO_REPLY;
    CommandKind nCommand = KIND_ANY;  // split and garbage count replies of any kind
    // Which occurrences: the first nFirst, or every nEvery-th (nEvery-th, 2*nEvery-th, ...);
    // both 0 means every occurrence.
    uint32_t nFirst = 0;
    uint32_t nEvery = 0;
    uint32_t nValue = 0;  // status, delay in ms, or the extra byte
    SplitMode nSplit = SPLIT_TRAILING_FLAG;
    std::vector<uint8_t> garbage;
    uint32_t nSeen = 0;  // occurrences counted so far

    // Counts one occurrence and says whether the rule fires on it.
    bool Fire();
};

// Reads the value of a program option into a rule. strOption is the option's name without dashes
// ("no-reply", "status", "delay", "bad-crc", "split", "garbage"); the value syntax is in the program's help.
// On failure returns false with the reason in *pstrError.
bool ParseFaultRule(const std::string& strOption, const std::string& strValue, FaultRule* pRule,
                    std::string* pstrError);

// One line saying what the rule does, for the program's start-up banner.
std::string DescribeFaultRule(const FaultRule& rule);

}  // namespace Sim
