#include "controls/mask_region.h"

#include <cstdint>
#include <vector>

HRGN CreateRegionFromMask(HBITMAP hMask, COLORREF clrOutside)
{
    BITMAP bm{};
    if (!hMask || !::GetObjectA(hMask, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;

    // Read the pixels as 32-bit top-down rows; the bitmap's own format does not matter then.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC hScreen = ::GetDC(nullptr);
    int nRows = ::GetDIBits(hScreen, hMask, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    if (nRows != bm.bmHeight)
        return nullptr;

    const uint32_t nOutside = (static_cast<uint32_t>(GetRValue(clrOutside)) << 16) |
                              (static_cast<uint32_t>(GetGValue(clrOutside)) << 8) | GetBValue(clrOutside);
    // One rectangle per run of inside pixels in a row, handed over in one call: no temporary
    // regions to combine and delete.
    std::vector<RECT> runs;
    for (LONG y = 0; y < bm.bmHeight; ++y) {
        const uint32_t* pRow = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(bm.bmWidth);
        LONG x = 0;
        while (x < bm.bmWidth) {
            while (x < bm.bmWidth && (pRow[x] & 0xFFFFFF) == nOutside)
                ++x;
            LONG xStart = x;
            while (x < bm.bmWidth && (pRow[x] & 0xFFFFFF) != nOutside)
                ++x;
            if (x > xStart)
                runs.push_back(RECT{xStart, y, x, y + 1});
        }
    }
    if (runs.empty())
        return ::CreateRectRgn(0, 0, 0, 0);

    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* pData = reinterpret_cast<RGNDATA*>(data.data());
    pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    pData->rdh.iType = RDH_RECTANGLES;
    pData->rdh.nCount = static_cast<DWORD>(runs.size());
    pData->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    pData->rdh.rcBound = RECT{0, 0, bm.bmWidth, bm.bmHeight};
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(pData->Buffer));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), pData);
}
