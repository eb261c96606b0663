#pragma once
// PNG pictures as GDI bitmaps, decoded by the system's imaging component (WIC).
#include <windows.h>

#include <cstddef>

// A 24-bit bitmap of the PNG's pixels at cx x cy; a picture of another size is scaled to it with the
// Fant filter (area averaging). Null when the bytes are no PNG or the system cannot decode them.
HBITMAP DecodePngBitmap(const void* pData, size_t nSize, int cx, int cy);
// The width and height the PNG declares; 0 x 0 when the bytes are no PNG.
SIZE PngSize(const void* pData, size_t nSize);
