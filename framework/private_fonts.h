#pragma once
// The typefaces embedded in the executable (resource type "FONTFILE"), loaded for this process only: the
// wizard looks the same on every Windows, whatever fonts it has, and no script it speaks shows boxes.
#include <windows.h>

#include <vector>

constexpr const char* FONT_RESOURCE_TYPE = "FONTFILE";

class CPrivateFonts {
public:
    CPrivateFonts() = default;
    CPrivateFonts(const CPrivateFonts&) = delete;
    CPrivateFonts& operator=(const CPrivateFonts&) = delete;
    // The fonts go with the object: a window still drawing with one falls back to a system face.
    ~CPrivateFonts();

    // Loads every embedded face of hModule; the number of faces loaded.
    int Load(HMODULE hModule);

private:
    std::vector<HANDLE> m_hFonts;
};
