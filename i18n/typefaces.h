#pragma once
// The typeface each language's words are drawn in: the artwork's Open Sans where it has the script, else
// the Noto face made for the language (a Han character is drawn differently in Chinese and Japanese).
#include <string>

const char* TypefaceFor(const std::string& strLanguage);
