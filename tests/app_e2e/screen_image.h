#pragma once
// Pixels: a part of the screen as the user sees it, or a bitmap out of the wizard's resources, and how
// much of one matches the other.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct CScreenImage {
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint32_t> m_pixels;  // 0x00RRGGBB, top row first

    bool Empty() const { return m_pixels.empty(); }
    uint32_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_nWidth + x]; }
    bool SaveBmp(const std::wstring& strPath) const;
};

// A screen rectangle as it is shown now.
CScreenImage CaptureScreen(const RECT& rect);
// A picture of the wizard's artwork set for a display scale, as stored in another program's file (loaded
// as data, not run).
CScreenImage LoadArtworkOf(const std::wstring& strExe, int nId, int nDpi);

// Share (0..1) of the pixels of bitmap that image shows at (x, y), outside the excluded rectangles
// (image coordinates); a channel may differ by up to 8. nStep > 1 compares every nStep-th row and column.
double MatchShare(const CScreenImage& image, int x, int y, const CScreenImage& bitmap,
                  const std::vector<RECT>& excluded = {}, int nStep = 1);
