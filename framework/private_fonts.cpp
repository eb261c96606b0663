#include "framework/private_fonts.h"

namespace {

BOOL CALLBACK AddOne(HMODULE hModule, LPCSTR, LPSTR pszName, LONG_PTR lParam)
{
    auto* pFonts = reinterpret_cast<std::vector<HANDLE>*>(lParam);
    HRSRC hInfo = ::FindResourceA(hModule, pszName, FONT_RESOURCE_TYPE);
    HGLOBAL hData = hInfo != nullptr ? ::LoadResource(hModule, hInfo) : nullptr;
    void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
    if (pData == nullptr)
        return TRUE;
    DWORD nFaces = 0;
    if (HANDLE hFont = ::AddFontMemResourceEx(pData, ::SizeofResource(hModule, hInfo), nullptr, &nFaces))
        pFonts->push_back(hFont);
    return TRUE;
}

}  // namespace

CPrivateFonts::~CPrivateFonts()
{
    for (HANDLE hFont : m_hFonts)
        ::RemoveFontMemResourceEx(hFont);
}

int CPrivateFonts::Load(HMODULE hModule)
{
    const size_t nBefore = m_hFonts.size();
    ::EnumResourceNamesA(hModule, FONT_RESOURCE_TYPE, &AddOne, reinterpret_cast<LONG_PTR>(&m_hFonts));
    return static_cast<int>(m_hFonts.size() - nBefore);
}
