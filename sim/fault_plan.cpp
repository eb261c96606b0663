#include "sim/fault_plan.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Sim {

namespace {

const char* const KIND_NAMES[] = {"startup", "erase", "write", "close", "unlock", "rebuild", "reset", "unknown", "any"};
const char* const SPLIT_NAMES[] = {"trailing-flag", "after-tag", "extra-byte", "leading-7f"};

bool ParseNumber(const std::string& strText, uint32_t nMax, uint32_t* pValue)
{
    if (strText.empty() || strText[0] == '-' || strText[0] == '+') {
        return false;
    }
    errno = 0;
    char* pEnd = nullptr;
    unsigned long long nValue = std::strtoull(strText.c_str(), &pEnd, 0);
    if (errno != 0 || *pEnd != '\0' || nValue > nMax) {
        return false;
    }
    *pValue = static_cast<uint32_t>(nValue);
    return true;
}

bool ParseHex(const std::string& strText, std::vector<uint8_t>* pBytes)
{
    std::string strDigits;
    for (char c : strText) {
        if (c == ' ' || c == ',') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        strDigits += c;
    }
    if (strDigits.empty() || strDigits.size() % 2 != 0) {
        return false;
    }
    pBytes->clear();
    for (size_t i = 0; i < strDigits.size(); i += 2) {
        pBytes->push_back(static_cast<uint8_t>(std::strtoul(strDigits.substr(i, 2).c_str(), nullptr, 16)));
    }
    return true;
}

// "first=N" or "every=K".
bool ParseSelector(const std::string& strText, FaultRule* pRule, std::string* pstrError)
{
    const size_t nEq = strText.find('=');
    const std::string strKey = strText.substr(0, nEq);
    uint32_t nCount = 0;
    if (nEq == std::string::npos || !ParseNumber(strText.substr(nEq + 1), 0xFFFFFFFFu, &nCount) || nCount == 0) {
        *pstrError = "expected first=N or every=K with N, K >= 1, got \"" + strText + "\"";
        return false;
    }
    if (strKey == "first") {
        pRule->nFirst = nCount;
    } else if (strKey == "every") {
        pRule->nEvery = nCount;
    } else {
        *pstrError = "expected first=N or every=K, got \"" + strText + "\"";
        return false;
    }
    return true;
}

}  // namespace

const char* CommandKindName(CommandKind nKind)
{
    return nKind >= KIND_STARTUP && nKind <= KIND_ANY ? KIND_NAMES[nKind] : "?";
}

bool ParseCommandKind(const char* pszName, CommandKind* pKind)
{
    for (int i = KIND_STARTUP; i <= KIND_ANY; ++i) {
        if (i != KIND_UNKNOWN && std::strcmp(pszName, KIND_NAMES[i]) == 0) {
            *pKind = static_cast<CommandKind>(i);
            return true;
        }
    }
    return false;
}

bool FaultRule::Fire()
{
    ++nSeen;
    if (nFirst != 0) {
        return nSeen <= nFirst;
    }
    if (nEvery != 0) {
        return nSeen % nEvery == 0;
    }
    return true;
}

bool ParseFaultRule(const std::string& strOption, const std::string& strValue, FaultRule* pRule,
                    std::string* pstrError)
{
    FaultRule rule;
    std::string strMain = strValue;
    const size_t nColon = strValue.find(':');
    if (nColon != std::string::npos) {
        strMain = strValue.substr(0, nColon);
        if (!ParseSelector(strValue.substr(nColon + 1), &rule, pstrError)) {
            return false;
        }
    }
    const size_t nEq = strMain.find('=');
    const std::string strHead = strMain.substr(0, nEq);
    const std::string strArg = nEq == std::string::npos ? std::string() : strMain.substr(nEq + 1);
    const bool bHasArg = nEq != std::string::npos;

    auto parseKind = [&]() {
        if (!ParseCommandKind(strHead.c_str(), &rule.nCommand)) {
            *pstrError = "unknown command kind \"" + strHead +
                         "\" (startup, erase, write, close, unlock, rebuild, reset, any)";
            return false;
        }
        return true;
    };

    if (strOption == "no-reply" || strOption == "bad-crc") {
        rule.nFault = strOption == "no-reply" ? FAULT_NO_REPLY : FAULT_BAD_CRC;
        if (!parseKind()) {
            return false;
        }
        if (bHasArg) {
            *pstrError = "--" + strOption + " takes no value after the kind";
            return false;
        }
    } else if (strOption == "status" || strOption == "delay") {
        rule.nFault = strOption == "status" ? FAULT_STATUS : FAULT_DELAY;
        if (!parseKind()) {
            return false;
        }
        const uint32_t nMax = rule.nFault == FAULT_STATUS ? 0xFF : 3600000;
        if (!bHasArg || !ParseNumber(strArg, nMax, &rule.nValue)) {
            *pstrError = rule.nFault == FAULT_STATUS ? "expected KIND=STATUS with a status of 0 to 255"
                                                     : "expected KIND=MILLISECONDS (at most 3600000)";
            return false;
        }
    } else if (strOption == "split") {
        rule.nFault = FAULT_SPLIT;
        bool bFound = false;
        for (int i = 0; i < 4; ++i) {
            if (strHead == SPLIT_NAMES[i]) {
                rule.nSplit = static_cast<SplitMode>(i);
                bFound = true;
            }
        }
        if (!bFound) {
            *pstrError = "unknown split \"" + strHead + "\" (trailing-flag, after-tag, extra-byte, leading-7f)";
            return false;
        }
        rule.nValue = 0x0A;
        if (bHasArg && (rule.nSplit != SPLIT_EXTRA_BYTE || !ParseNumber(strArg, 0xFF, &rule.nValue))) {
            *pstrError = "only extra-byte takes a value, a byte such as 0x0A";
            return false;
        }
    } else if (strOption == "garbage") {
        rule.nFault = FAULT_GARBAGE;
        if (bHasArg || !ParseHex(strHead, &rule.garbage)) {
            *pstrError = "expected hex bytes such as 00a5ff";
            return false;
        }
    } else {
        *pstrError = "unknown fault option \"" + strOption + "\"";
        return false;
    }
    *pRule = rule;
    return true;
}

std::string DescribeFaultRule(const FaultRule& rule)
{
    const std::string strWhich = rule.nFirst   ? " (first " + std::to_string(rule.nFirst) + ")"
                                 : rule.nEvery ? " (every " + std::to_string(rule.nEvery) + "th)"
                                               : " (all)";
    const std::string strWhat = rule.nCommand == KIND_ANY ? "any command" : CommandKindName(rule.nCommand);
    switch (rule.nFault) {
    case FAULT_NO_REPLY:
        return "no reply to " + strWhat + strWhich;
    case FAULT_STATUS:
        return "status " + std::to_string(rule.nValue) + " for " + strWhat + strWhich;
    case FAULT_DELAY:
        return std::to_string(rule.nValue) + " ms late reply to " + strWhat + strWhich;
    case FAULT_BAD_CRC:
        return "bad CRC in reply to " + strWhat + strWhich;
    case FAULT_SPLIT:
        return std::string("replies split: ") + SPLIT_NAMES[rule.nSplit] + strWhich;
    case FAULT_GARBAGE:
        return std::to_string(rule.garbage.size()) + " garbage bytes after replies" + strWhich;
    }
    return "?";
}

}  // namespace Sim
