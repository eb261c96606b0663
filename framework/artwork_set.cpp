#include "framework/artwork_set.h"

#include "framework/dpi.h"
#include "framework/png_bitmap.h"

namespace {

constexpr int SET_PERCENTS[ARTWORK_SET_COUNT] = {100, 125, 150, 175, 200};
const char* const SET_TYPES[ARTWORK_SET_COUNT] = {"ART100", "ART125", "ART150", "ART175", "ART200"};

struct Blob {
    const void* pData = nullptr;
    DWORD nSize = 0;
};

Blob FindBlob(HMODULE hModule, UINT nId, LPCSTR pszType)
{
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), pszType);
    HGLOBAL hData = hInfo != nullptr ? ::LoadResource(hModule, hInfo) : nullptr;
    const void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
    return pData != nullptr ? Blob{pData, ::SizeofResource(hModule, hInfo)} : Blob{};
}

// The size of picture nId at 100 %: its PNG's header, or the bitmap resource's.
SIZE BaseSize(HMODULE hModule, UINT nId)
{
    const Blob png = FindBlob(hModule, nId, SET_TYPES[0]);
    if (png.pData != nullptr)
        return PngSize(png.pData, png.nSize);
    const Blob bitmap = FindBlob(hModule, nId, MAKEINTRESOURCEA(2));  // RT_BITMAP
    const auto* pHeader = static_cast<const BITMAPINFOHEADER*>(bitmap.pData);
    if (pHeader == nullptr || bitmap.nSize < sizeof(BITMAPINFOHEADER))
        return SIZE{0, 0};
    return SIZE{pHeader->biWidth, pHeader->biHeight < 0 ? -pHeader->biHeight : pHeader->biHeight};
}

// A set's picture at a size (0 x 0: its own); for the 100 % set, the bitmap resource where there is no
// picture.
HBITMAP DecodeSetPicture(HMODULE hModule, UINT nId, int nSet, SIZE size)
{
    const Blob png = FindBlob(hModule, nId, SET_TYPES[nSet]);
    if (png.pData == nullptr) {
        if (nSet != 0)
            return nullptr;
        return static_cast<HBITMAP>(::LoadImageA(hModule, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, size.cx, size.cy,
                                                 LR_CREATEDIBSECTION));
    }
    if (size.cx == 0)
        size = PngSize(png.pData, png.nSize);
    return DecodePngBitmap(png.pData, png.nSize, size.cx, size.cy);
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
    const int nSet = ArtworkSetFor(nDpi);
    if (nSet == 0)  // 100 % and below: the 100 % set, at its own size
        return DecodeSetPicture(hModule, nId, 0, SIZE{0, 0});
    const SIZE base = BaseSize(hModule, nId);
    if (base.cx <= 0 || base.cy <= 0)
        return nullptr;
    const SIZE size{::MulDiv(base.cx, nDpi, BASE_DPI), ::MulDiv(base.cy, nDpi, BASE_DPI)};
    return DecodeSetPicture(hModule, nId, nSet, size);
}

HBITMAP LoadArtworkSetBitmap(HMODULE hModule, UINT nId, int nSet)
{
    return DecodeSetPicture(hModule, nId, nSet, SIZE{0, 0});
}
