#include "framework/artwork_set.h"

#include "framework/dpi.h"
#include "framework/png_bitmap.h"

namespace {

constexpr int SET_PERCENTS[ARTWORK_SET_COUNT] = {100, 125, 150, 175, 200};
const char* const SET_TYPES[ARTWORK_SET_COUNT] = {nullptr, "ART125", "ART150", "ART175", "ART200"};

// The size of bitmap nId of the 100 % set, read from its header.
SIZE BaseSize(HMODULE hModule, UINT nId)
{
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL hData = hInfo != nullptr ? ::LoadResource(hModule, hInfo) : nullptr;
    const auto* pHeader = hData != nullptr ? static_cast<const BITMAPINFOHEADER*>(::LockResource(hData)) : nullptr;
    if (pHeader == nullptr || ::SizeofResource(hModule, hInfo) < sizeof(BITMAPINFOHEADER))
        return SIZE{0, 0};
    return SIZE{pHeader->biWidth, pHeader->biHeight < 0 ? -pHeader->biHeight : pHeader->biHeight};
}

HBITMAP DecodeSetPicture(HMODULE hModule, UINT nId, int nSet, SIZE size)
{
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), SET_TYPES[nSet]);
    HGLOBAL hData = hInfo != nullptr ? ::LoadResource(hModule, hInfo) : nullptr;
    const void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
    if (pData == nullptr)
        return nullptr;
    const DWORD nSize = ::SizeofResource(hModule, hInfo);
    if (size.cx == 0)
        size = PngSize(pData, nSize);
    return DecodePngBitmap(pData, nSize, size.cx, size.cy);
}

}  // namespace

int ArtworkSetDpi(int nSet)
{
    return SET_PERCENTS[nSet] * BASE_DPI / 100;
}

int ArtworkSetPercent(int nSet)
{
    return SET_PERCENTS[nSet];
}

int ArtworkSetFor(int nDpi)
{
    for (int nSet = 0; nSet < ARTWORK_SET_COUNT; ++nSet) {
        if (nDpi <= ArtworkSetDpi(nSet))
            return nSet;
    }
    return ARTWORK_SET_COUNT - 1;
}

HBITMAP LoadArtworkBitmap(HMODULE hModule, UINT nId, int nDpi)
{
    if (nDpi == BASE_DPI)
        return ::LoadBitmapA(hModule, MAKEINTRESOURCEA(nId));
    const SIZE base = BaseSize(hModule, nId);
    if (base.cx <= 0 || base.cy <= 0)
        return nullptr;
    const SIZE size{::MulDiv(base.cx, nDpi, BASE_DPI), ::MulDiv(base.cy, nDpi, BASE_DPI)};
    const int nSet = ArtworkSetFor(nDpi);
    if (nSet == 0)  // below 100 %: the 100 % set serves, at its own size
        return ::LoadBitmapA(hModule, MAKEINTRESOURCEA(nId));
    return DecodeSetPicture(hModule, nId, nSet, size);
}

HBITMAP LoadArtworkSetBitmap(HMODULE hModule, UINT nId, int nSet)
{
    if (nSet == 0)
        return static_cast<HBITMAP>(::LoadImageA(hModule, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return DecodeSetPicture(hModule, nId, nSet, SIZE{0, 0});
}
