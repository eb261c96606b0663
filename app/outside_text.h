#pragma once
// Texts that outside senders pass by pointer in a window message. The pointer may come from another
// process or be plain garbage, so it is only read as far as the memory behind it is readable.
#include <cstddef>
#include <cstdint>
#include <string>

// Longest text taken from a sender, in characters; the rest is ignored.
constexpr size_t OUTSIDE_TEXT_MAX_CHARS = 1024;

// Code in lParam of the status message that marks a single-byte text.
constexpr intptr_t OUTSIDE_TEXT_SINGLE_BYTE = 1234;

// Status texts of this many characters or more are cut to it and marked as cut.
constexpr size_t OUTSIDE_STATUS_MAX_CHARS = 30;
constexpr const char* OUTSIDE_STATUS_CUT_MARK = "....";

// True when nBytes bytes from pAddress lie in committed, readable memory of this process.
bool IsReadableMemory(const void* pAddress, size_t nBytes);

// Reads a zero-terminated text of nCharSize-byte characters (1 or 2), at most nMaxChars of them.
// False when the pointer is null or its first character cannot be read; a text that runs into
// unreadable memory ends there.
bool ReadOutsideChars(const void* pText, size_t nCharSize, size_t nMaxChars, std::u16string* pText16,
                      std::string* pText8);

// A UTF-16 text, or a text in the system's ANSI code page, in UTF-8 (the program's texts).
std::string WideToUtf8(const std::u16string& strWide);
std::string AnsiToUtf8(const std::string& strAnsi);

// The status text of the outside status message: single-byte when nKind is OUTSIDE_TEXT_SINGLE_BYTE,
// else UTF-16. Texts of 30 characters or more become their first 30 characters and "....".
// False when the pointer cannot be read.
bool ReadOutsideStatusText(const void* pText, intptr_t nKind, std::string* pstrResult);

// A UTF-16 text in the ANSI code page, unshortened; false when the pointer cannot be read.
bool ReadOutsideWideText(const void* pText, std::string* pstrResult);
