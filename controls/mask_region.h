#pragma once
// A window region from a mask bitmap: every pixel whose colour is not the outside colour is inside.
#include <windows.h>

// The region in the bitmap's pixel coordinates; an empty region when no pixel is inside; null
// only if the bitmap cannot be read. The caller owns the region.
HRGN CreateRegionFromMask(HBITMAP hMask, COLORREF clrOutside);
