#pragma once
// The program keeps its texts in UTF-8; Windows takes them in UTF-16 (the W functions), which is what
// lets one executable show every language whatever the system's ANSI code page is.
#include <string>
#include <string_view>

namespace Platform {

std::wstring Utf16(std::string_view strUtf8);
std::string Utf8(std::wstring_view strUtf16);

}  // namespace Platform
