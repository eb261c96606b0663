#include "sim/flash_verify.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "image/container.h"

namespace Sim {

namespace {

// The host writes only the slots of its partition list.
constexpr int FIRST_WRITTEN_SLOT = 4;
constexpr int SLOT_COUNT = 13;

std::string Format(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* pszFormat, ...)
{
    char szText[512];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    return szText;
}

std::string PartitionName(const CContainerInfo& info, int i)
{
    PartitionEntry entry = info.Entry(i);
    return std::string(entry.m_achName, PARTITION_NAME_BYTES) + std::to_string(i);
}

// Compares one written partition; returns false with the differences appended.
bool CheckWritten(const CFlashModel& flash, const CContainerInfo& info, const uint8_t* pContainer, int i,
                  std::vector<std::string>* pLines)
{
    const PartitionRecord& record = info.m_records[i];
    const std::string strName = PartitionName(info, i);
    const uint32_t dwLength = record.m_dwImageEnd - record.m_dwImageStart;
    const uint64_t nErased = (static_cast<uint64_t>(dwLength) + FLASH_UNIT - 1) / FLASH_UNIT * FLASH_UNIT;
    if (record.m_dwFlashStart + nErased > FLASH_SIZE) {
        pLines->push_back(Format("%s: 0x%08X + 0x%llX bytes lies beyond the 64 MiB flash", strName.c_str(),
                                 record.m_dwFlashStart, static_cast<unsigned long long>(nErased)));
        return false;
    }
    const uint8_t* pFlash = flash.Data() + record.m_dwFlashStart;
    const uint32_t dwPage = info.PageSize();
    uint64_t nWrong = 0;
    int64_t nFirstWrong = -1;
    for (uint32_t dwDone = 0; dwDone < dwLength;) {
        const uint32_t dwPiece = dwLength - dwDone < dwPage ? dwLength - dwDone : dwPage;
        const uint8_t* pExpected = pContainer + info.FileOffset(record.m_dwImageStart + dwDone);
        if (std::memcmp(pFlash + dwDone, pExpected, dwPiece) != 0) {
            for (uint32_t k = 0; k < dwPiece; ++k) {
                if (pFlash[dwDone + k] != pExpected[k]) {
                    if (nFirstWrong < 0) {
                        nFirstWrong = dwDone + k;
                        pLines->push_back(Format("%s: first wrong byte at flash 0x%08X: 0x%02X, expected 0x%02X",
                                                 strName.c_str(), record.m_dwFlashStart + dwDone + k,
                                                 pFlash[dwDone + k], pExpected[k]));
                    }
                    ++nWrong;
                }
            }
        }
        dwDone += dwPiece;
    }
    uint64_t nTailWrong = 0;
    int64_t nFirstTail = -1;
    for (uint64_t k = dwLength; k < nErased; ++k) {
        if (pFlash[k] != 0xFF) {
            if (nFirstTail < 0) {
                nFirstTail = static_cast<int64_t>(k);
            }
            ++nTailWrong;
        }
    }
    if (nWrong) {
        pLines->push_back(Format("%s: %llu of %u data bytes differ", strName.c_str(),
                                 static_cast<unsigned long long>(nWrong), dwLength));
    }
    if (nTailWrong) {
        pLines->push_back(Format("%s: %llu bytes after the data are not 0xFF (first at flash 0x%08llX)",
                                 strName.c_str(), static_cast<unsigned long long>(nTailWrong),
                                 static_cast<unsigned long long>(record.m_dwFlashStart + nFirstTail)));
    }
    if (nWrong || nTailWrong) {
        return false;
    }
    pLines->push_back(Format("%s: ok, %u bytes at 0x%08X, %llu bytes of 0xFF after", strName.c_str(), dwLength,
                             record.m_dwFlashStart, static_cast<unsigned long long>(nErased - dwLength)));
    return true;
}

// A partition the host must leave alone: no unit of its region touched.
bool CheckUntouched(const CFlashModel& flash, const CContainerInfo& info, int i, std::vector<std::string>* pLines)
{
    const PartitionRecord& record = info.m_records[i];
    const PartitionEntry entry = info.Entry(i);
    const std::string strName = PartitionName(info, i);
    uint64_t nStart = record.m_dwFlashStart;
    uint64_t nEnd = record.m_dwFlashEnd;
    if (entry.m_dwEndBlock >= entry.m_dwStartBlock) {
        // The whole region, spare blocks included.
        nEnd = (static_cast<uint64_t>(entry.m_dwEndBlock) + 1) * info.BlockSize();
        if (nEnd < record.m_dwFlashEnd) {
            nEnd = record.m_dwFlashEnd;
        }
    }
    nEnd = nEnd < FLASH_SIZE ? nEnd : FLASH_SIZE;
    uint32_t nErased = 0;
    uint32_t nProgrammed = 0;
    for (uint64_t nUnit = nStart / FLASH_UNIT; nUnit * FLASH_UNIT < nEnd; ++nUnit) {
        const FlashUnitState& unit = flash.Unit(static_cast<uint32_t>(nUnit));
        nErased += unit.nEraseCount ? 1 : 0;
        nProgrammed += unit.nProgramCount ? 1 : 0;
    }
    if (nErased || nProgrammed) {
        pLines->push_back(Format("%s: must not be touched, but in 0x%08llX-0x%08llX %u units were erased and %u "
                                 "written",
                                 strName.c_str(), static_cast<unsigned long long>(nStart),
                                 static_cast<unsigned long long>(nEnd), nErased, nProgrammed));
        return false;
    }
    pLines->push_back(Format("%s: ok, untouched", strName.c_str()));
    return true;
}

}  // namespace

std::string VerifyReport::Text() const
{
    std::string strText;
    for (const std::string& strLine : lines) {
        strText += strLine + "\n";
    }
    return strText;
}

VerifyReport VerifyFlash(const CFlashModel& flash, const uint8_t* pContainer, size_t nSize)
{
    VerifyReport report;
    CContainerInfo info;
    if (DecodeContainer(pContainer, nSize, &info, DIGEST_IGNORE) != 0) {
        report.lines.push_back("not a valid firmware container");
        return report;
    }
    bool bOk = true;
    const int nRecords = info.RecordCount();
    for (int i = 0; i < nRecords && i < SLOT_COUNT; ++i) {
        if (i < FIRST_WRITTEN_SLOT) {
            bOk = CheckUntouched(flash, info, i, &report.lines) && bOk;
        } else {
            bOk = CheckWritten(flash, info, pContainer, i, &report.lines) && bOk;
        }
    }
    for (int i = SLOT_COUNT; i < nRecords; ++i) {
        report.lines.push_back(PartitionName(info, i) + ": not checked, the host has no slot for it");
    }
    report.bOk = bOk;
    return report;
}

}  // namespace Sim
