#include "tests/app_e2e/screen_image.h"

#include <cstdio>
#include <cstdlib>

#include "framework/artwork_set.h"

namespace {

CScreenImage ReadBitmap(HDC hDc, HBITMAP hBitmap, int nWidth, int nHeight)
{
    CScreenImage image;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(nWidth) * nHeight);
    if (GetDIBits(hDc, hBitmap, 0, nHeight, pixels.data(), &info, DIB_RGB_COLORS) != nHeight)
        return image;
    for (uint32_t& nPixel : pixels)
        nPixel &= 0x00FFFFFF;
    image.m_nWidth = nWidth;
    image.m_nHeight = nHeight;
    image.m_pixels = std::move(pixels);
    return image;
}

bool Near(uint32_t a, uint32_t b)
{
    for (int nShift = 0; nShift < 24; nShift += 8) {
        if (std::abs(static_cast<int>((a >> nShift) & 0xFF) - static_cast<int>((b >> nShift) & 0xFF)) > 8)
            return false;
    }
    return true;
}

// The pixels of a loaded bitmap, which is deleted; an empty image for none.
CScreenImage TakeBitmap(HBITMAP hBitmap)
{
    CScreenImage image;
    if (hBitmap == nullptr)
        return image;
    BITMAP info = {};
    GetObjectW(hBitmap, sizeof(info), &info);
    HDC hScreen = GetDC(nullptr);
    image = ReadBitmap(hScreen, hBitmap, info.bmWidth, info.bmHeight);
    ReleaseDC(nullptr, hScreen);
    DeleteObject(hBitmap);
    return image;
}

}  // namespace

bool CScreenImage::SaveBmp(const std::wstring& strPath) const
{
    if (Empty())
        return false;
    FILE* pFile = _wfopen(strPath.c_str(), L"wb");
    if (pFile == nullptr)
        return false;
    const uint32_t nRowBytes = (static_cast<uint32_t>(m_nWidth) * 3 + 3) & ~3u;
    const uint32_t nDataBytes = nRowBytes * static_cast<uint32_t>(m_nHeight);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + nDataBytes;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = m_nWidth;
    info.biHeight = m_nHeight;  // bottom row first, as every reader expects
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = nDataBytes;
    std::fwrite(&file, sizeof(file), 1, pFile);
    std::fwrite(&info, sizeof(info), 1, pFile);
    std::vector<uint8_t> row(nRowBytes, 0);
    for (int y = m_nHeight - 1; y >= 0; --y) {
        for (int x = 0; x < m_nWidth; ++x) {
            const uint32_t nPixel = At(x, y);
            row[x * 3] = static_cast<uint8_t>(nPixel);
            row[x * 3 + 1] = static_cast<uint8_t>(nPixel >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(nPixel >> 16);
        }
        std::fwrite(row.data(), 1, row.size(), pFile);
    }
    return std::fclose(pFile) == 0;
}

CScreenImage CaptureScreen(const RECT& rect)
{
    CScreenImage image;
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    if (nWidth <= 0 || nHeight <= 0)
        return image;
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, nWidth, nHeight);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, nWidth, nHeight, hScreen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    SelectObject(hMemory, hOld);
    image = ReadBitmap(hMemory, hBitmap, nWidth, nHeight);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    return image;
}

CScreenImage LoadArtworkOf(const std::wstring& strExe, int nId, int nDpi)
{
    const int nSet = ArtworkSetFor(nDpi);
    CScreenImage image;
    HMODULE hModule = LoadLibraryExW(strExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule == nullptr)
        return image;
    image = TakeBitmap(LoadArtworkSetBitmap(hModule, static_cast<UINT>(nId), nSet));
    FreeLibrary(hModule);
    return image;
}

double MatchShare(const CScreenImage& image, int x0, int y0, const CScreenImage& bitmap,
                  const std::vector<RECT>& excluded, int nStep)
{
    size_t nCompared = 0;
    size_t nEqual = 0;
    for (int y = 0; y < bitmap.m_nHeight; y += nStep) {
        const int yImage = y0 + y;
        if (yImage < 0 || yImage >= image.m_nHeight)
            continue;
        for (int x = 0; x < bitmap.m_nWidth; x += nStep) {
            const int xImage = x0 + x;
            if (xImage < 0 || xImage >= image.m_nWidth)
                continue;
            bool bExcluded = false;
            for (const RECT& rect : excluded) {
                if (xImage >= rect.left && xImage < rect.right && yImage >= rect.top && yImage < rect.bottom) {
                    bExcluded = true;
                    break;
                }
            }
            if (bExcluded)
                continue;
            ++nCompared;
            if (Near(image.At(xImage, yImage), bitmap.At(x, y)))
                ++nEqual;
        }
    }
    return nCompared == 0 ? 0.0 : static_cast<double>(nEqual) / static_cast<double>(nCompared);
}
