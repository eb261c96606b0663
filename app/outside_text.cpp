#include "app/outside_text.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/utf16.h"

namespace {

bool IsReadableProtection(DWORD dwProtect)
{
    if ((dwProtect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
        return false;
    }
    const DWORD dwReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                             PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (dwProtect & dwReadable) != 0;
}

// Bytes readable from pAddress on, looking no further than nWanted.
size_t ReadableBytesFrom(const void* pAddress, size_t nWanted)
{
    uintptr_t nAt = reinterpret_cast<uintptr_t>(pAddress);
    size_t nReadable = 0;
    while (nReadable < nWanted) {
        MEMORY_BASIC_INFORMATION info = {};
        if (VirtualQuery(reinterpret_cast<const void*>(nAt), &info, sizeof(info)) != sizeof(info)) {
            break;
        }
        if (info.State != MEM_COMMIT || !IsReadableProtection(info.Protect)) {
            break;
        }
        const uintptr_t nRegionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (nRegionEnd <= nAt) {
            break;  // wrapped around the top of the address space
        }
        const size_t nInRegion = static_cast<size_t>(nRegionEnd - nAt);
        nReadable += nInRegion;
        nAt = nRegionEnd;
    }
    return std::min(nReadable, nWanted);
}

}  // namespace

bool IsReadableMemory(const void* pAddress, size_t nBytes)
{
    if (pAddress == nullptr) {
        return false;
    }
    return ReadableBytesFrom(pAddress, nBytes) >= nBytes;
}

bool ReadOutsideChars(const void* pText, size_t nCharSize, size_t nMaxChars, std::u16string* pText16,
                      std::string* pText8)
{
    if (pText == nullptr || (nCharSize != 1 && nCharSize != 2)) {
        return false;
    }
    const size_t nReadable = ReadableBytesFrom(pText, nMaxChars * nCharSize) / nCharSize;
    if (nReadable == 0) {
        return false;
    }
    if (nCharSize == 1) {
        const char* psz = static_cast<const char*>(pText);
        const size_t nLength = std::find(psz, psz + nReadable, '\0') - psz;
        pText8->assign(psz, nLength);
    } else {
        // A UTF-16 text may sit at an odd address; copy it out byte-wise.
        const unsigned char* pBytes = static_cast<const unsigned char*>(pText);
        pText16->clear();
        for (size_t i = 0; i < nReadable; ++i) {
            const char16_t ch = static_cast<char16_t>(pBytes[2 * i] | (pBytes[2 * i + 1] << 8));
            if (ch == 0) {
                break;
            }
            pText16->push_back(ch);
        }
    }
    return true;
}

std::string WideToUtf8(const std::u16string& strWide)
{
    return Platform::Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(strWide.data()), strWide.size()));
}

std::string AnsiToUtf8(const std::string& strAnsi)
{
    if (strAnsi.empty()) {
        return std::string();
    }
    const int nChars = MultiByteToWideChar(CP_ACP, 0, strAnsi.data(), static_cast<int>(strAnsi.size()), nullptr, 0);
    std::wstring strWide(static_cast<size_t>(nChars > 0 ? nChars : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, strAnsi.data(), static_cast<int>(strAnsi.size()), strWide.data(), nChars);
    return Platform::Utf8(strWide);
}

bool ReadOutsideStatusText(const void* pText, intptr_t nKind, std::string* pstrResult)
{
    std::string strText;
    bool bCut = false;
    if (nKind == OUTSIDE_TEXT_SINGLE_BYTE) {
        std::u16string strUnused;
        if (!ReadOutsideChars(pText, 1, OUTSIDE_TEXT_MAX_CHARS, &strUnused, &strText)) {
            return false;
        }
        if (strText.size() >= OUTSIDE_STATUS_MAX_CHARS) {
            strText.resize(OUTSIDE_STATUS_MAX_CHARS);
            bCut = true;
        }
        strText = AnsiToUtf8(strText);
    } else {
        std::u16string strWide;
        std::string strUnused;
        if (!ReadOutsideChars(pText, 2, OUTSIDE_TEXT_MAX_CHARS, &strWide, &strUnused)) {
            return false;
        }
        // Cut in characters before converting, so a double-byte character is never split.
        if (strWide.size() >= OUTSIDE_STATUS_MAX_CHARS) {
            strWide.resize(OUTSIDE_STATUS_MAX_CHARS);
            bCut = true;
        }
        strText = WideToUtf8(strWide);
    }
    if (bCut) {
        strText += OUTSIDE_STATUS_CUT_MARK;
    }
    *pstrResult = strText;
    return true;
}

bool ReadOutsideWideText(const void* pText, std::string* pstrResult)
{
    std::u16string strWide;
    std::string strUnused;
    if (!ReadOutsideChars(pText, 2, OUTSIDE_TEXT_MAX_CHARS, &strWide, &strUnused)) {
        return false;
    }
    *pstrResult = WideToUtf8(strWide);
    return true;
}
