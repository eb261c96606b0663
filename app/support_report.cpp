#include "app/support_report.h"

#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "host/host_description.h"
#include "image/staging.h"
#include "platform/md5.h"
#include "platform/resources.h"
#include "platform/serial_port_map.h"
#include "platform/win32/utf16.h"

namespace {


// Every occurrence of strName (any case) replaced by strStandIn; names shorter than 2 letters stay.
void ReplaceName(std::string* pstrText, const std::string& strName, const char* pszStandIn)
{
    if (strName.size() < 2)
        return;
    auto lower = [](std::string s) {
        for (char& ch : s)
            ch = static_cast<char>(::tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    const std::string strLowerName = lower(strName);
    std::string strLower = lower(*pstrText);
    for (size_t nAt = strLower.find(strLowerName); nAt != std::string::npos;
         nAt = strLower.find(strLowerName, nAt + std::strlen(pszStandIn))) {
        pstrText->replace(nAt, strName.size(), pszStandIn);
        strLower.replace(nAt, strName.size(), pszStandIn);
    }
}

std::string DeviceNameOf(int nPort)
{
    const std::string strPort = "COM" + std::to_string(nPort);
    for (const Platform::SerialPortEntry& entry : Platform::ListSerialPorts()) {
        if (entry.strPortName == strPort)
            return entry.strDeviceName;
    }
    return "not listed";
}

}  // namespace

void BeginRunRecord(CRunRecord& record, int nPort, const char* pszLanguage)
{
    char szVersion[64] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), 104, szVersion, sizeof(szVersion));
    record.KeepInMemory();
    record.Write(std::string("krt-upgrade ") + szVersion + " run begins");
    record.Write("host: " + DescribeHost());
    record.Write("driver: " + DescribeUsbDriver());
    record.Write("port: COM" + std::to_string(nPort) + " (" + DeviceNameOf(nPort) + ")");
    Platform::ResourceBlob image;
    uint8_t abDigest[Platform::MD5_DIGEST_BYTES] = {};
    if (Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, FIRMWARE_RESOURCE_ID, &image) &&
        Platform::ComputeMd5(image.pData, image.nSize, abDigest)) {
        char szHex[2 * Platform::MD5_DIGEST_BYTES + 1] = {};
        for (size_t i = 0; i < Platform::MD5_DIGEST_BYTES; ++i)
            std::snprintf(szHex + 2 * i, 3, "%02x", abDigest[i]);
        record.Write("image: embedded, " + std::to_string(image.nSize) + " bytes, md5 " + szHex);
    } else {
        record.Write("image: embedded, unreadable");
    }
    record.Write(std::string("language shown: ") + pszLanguage);
}

std::string SupportReportText(const CRunRecord& record)
{
    std::string strReport = record.Text();
    wchar_t szUser[256] = {};
    DWORD nUser = static_cast<DWORD>(std::size(szUser));
    if (::GetUserNameW(szUser, &nUser))
        ReplaceName(&strReport, Platform::Utf8(szUser), "<user>");
    wchar_t szComputer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD nComputer = static_cast<DWORD>(std::size(szComputer));
    if (::GetComputerNameW(szComputer, &nComputer))
        ReplaceName(&strReport, Platform::Utf8(szComputer), "<computer>");
    return strReport;
}

std::wstring DefaultReportName()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    wchar_t szName[64];
    std::swprintf(szName, std::size(szName), L"krt-p940-report-%04u%02u%02u-%02u%02u%02u.txt", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return szName;
}

bool WriteReportFile(const std::wstring& strPath, const std::string& strReport, std::string* pstrReason)
{
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD dwError = ERROR_SUCCESS;
    if (hFile == INVALID_HANDLE_VALUE) {
        dwError = ::GetLastError();
    } else {
        DWORD nWritten = 0;
        const BOOL bWritten = ::WriteFile(hFile, strReport.data(), static_cast<DWORD>(strReport.size()), &nWritten, nullptr);
        if (!bWritten || nWritten != strReport.size())
            dwError = bWritten ? ERROR_DISK_FULL : ::GetLastError();
        if (!::CloseHandle(hFile) && dwError == ERROR_SUCCESS)
            dwError = ::GetLastError();
        if (dwError != ERROR_SUCCESS)
            ::DeleteFileW(strPath.c_str());
    }
    if (dwError == ERROR_SUCCESS)
        return true;
    wchar_t szReason[512] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, szReason,
                     static_cast<DWORD>(std::size(szReason)), nullptr);
    std::string strReason = Platform::Utf8(szReason);
    while (!strReason.empty() && (strReason.back() == '\n' || strReason.back() == '\r' || strReason.back() == ' '))
        strReason.pop_back();
    *pstrReason = strReason.empty() ? "error " + std::to_string(dwError) : strReason;
    return false;
}

bool CopyReportToClipboard(HWND hOwner, const std::string& strReport)
{
    // Windows text on the clipboard ends its lines with CR LF.
    std::wstring strText;
    for (wchar_t ch : Platform::Utf16(strReport)) {
        if (ch == L'\n')
            strText += L'\r';
        strText += ch;
    }
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, (strText.size() + 1) * sizeof(wchar_t));
    if (hData == nullptr)
        return false;
    if (auto* pText = static_cast<wchar_t*>(::GlobalLock(hData))) {
        std::wmemcpy(pText, strText.c_str(), strText.size() + 1);
        ::GlobalUnlock(hData);
    }
    if (!::OpenClipboard(hOwner)) {
        ::GlobalFree(hData);
        return false;
    }
    ::EmptyClipboard();
    const bool bSet = ::SetClipboardData(CF_UNICODETEXT, hData) != nullptr;
    ::CloseClipboard();
    if (!bSet)
        ::GlobalFree(hData);
    return bSet;
}
