// The typefaces inside the wizard: all of them load, and each language's own name is drawn in its
// typeface with no character missing.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/private_fonts.h"
#include "i18n/translations.h"
#include "i18n/typefaces.h"

namespace {

BOOL CALLBACK CountOne(HMODULE, LPCSTR, LPSTR, LONG_PTR lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

std::wstring Wide(const std::string& str)
{
    std::wstring wide(str.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

}  // namespace

TEST(WizardFonts, EveryLanguageNameIsDrawnInItsTypeface)
{
    int nEmbedded = 0;
    EnumResourceNamesA(GetModuleHandleA(nullptr), FONT_RESOURCE_TYPE, &CountOne, reinterpret_cast<LONG_PTR>(&nEmbedded));
    // Open Sans in three weights; the Chinese, Japanese, Korean and Arabic faces in two.
    ASSERT_GE(nEmbedded, 3 + 4 * 2);
    CPrivateFonts fonts;
    EXPECT_EQ(nEmbedded, fonts.Load(GetModuleHandleA(nullptr)));

    HDC hDC = CreateCompatibleDC(nullptr);
    ASSERT_GT(AvailableLanguages().size(), 13u);
    for (const LanguageInfo& language : AvailableLanguages()) {
        const char* pszFace = TypefaceFor(language.strCode);
        for (int nWeight : {FW_NORMAL, FW_BOLD}) {
            HFONT hFont = CreateFontA(-20, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                                      CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, pszFace);
            HGDIOBJ hOld = SelectObject(hDC, hFont);
            char szFace[LF_FACESIZE] = {};
            GetTextFaceA(hDC, sizeof(szFace), szFace);
            EXPECT_STREQ(pszFace, szFace) << language.strCode;
            const std::wstring strName = Wide(language.strName);
            std::wstring strGlyphs(strName.size(), L'\0');
            GetGlyphIndicesW(hDC, strName.c_str(), static_cast<int>(strName.size()),
                             reinterpret_cast<WORD*>(strGlyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
            for (size_t i = 0; i < strName.size(); ++i) {
                EXPECT_NE(0xFFFF, static_cast<WORD>(strGlyphs[i]))
                    << language.strCode << ": no glyph for U+" << std::hex << static_cast<int>(strName[i]) << " in "
                    << pszFace;
            }
            DeleteObject(SelectObject(hDC, hOld));
        }
    }
    DeleteDC(hDC);
}
