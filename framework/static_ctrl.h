#pragma once
// CStatic: a static control, here a picture that shows a bitmap.
#include "framework/wnd.h"

class CStatic : public CWnd {
public:
    // The control shows hBitmap; the caller keeps owning it. Returns the bitmap shown before.
    HBITMAP SetBitmap(HBITMAP hBitmap) const { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap))); }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};
