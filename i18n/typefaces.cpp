#include "i18n/typefaces.h"

const char* TypefaceFor(const std::string& strLanguage)
{
    if (strLanguage == "ja")
        return "Noto Sans CJK JP";
    if (strLanguage == "ko")
        return "Noto Sans CJK KR";
    if (strLanguage == "zh_CN")
        return "Noto Sans CJK SC";
    if (strLanguage == "ar")
        return "Noto Sans Arabic KRT";
    return "Open Sans";
}
