#include "platform/win32/utf16.h"

#include <windows.h>

namespace Platform {

std::wstring Utf16(std::string_view strUtf8)
{
    if (strUtf8.empty())
        return {};
    const int nChars = ::MultiByteToWideChar(CP_UTF8, 0, strUtf8.data(), static_cast<int>(strUtf8.size()), nullptr, 0);
    std::wstring strWide(static_cast<size_t>(nChars > 0 ? nChars : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, strUtf8.data(), static_cast<int>(strUtf8.size()), strWide.data(), nChars);
    return strWide;
}

std::string Utf8(std::wstring_view strUtf16)
{
    if (strUtf16.empty())
        return {};
    const int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, strUtf16.data(), static_cast<int>(strUtf16.size()), nullptr,
                                             0, nullptr, nullptr);
    std::string strText(static_cast<size_t>(nBytes > 0 ? nBytes : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, strUtf16.data(), static_cast<int>(strUtf16.size()), strText.data(), nBytes,
                          nullptr, nullptr);
    return strText;
}

}  // namespace Platform
