#pragma once
// CUniMemDC: an off-screen drawing context over a target context. Everything drawn into it lands
// in a memory bitmap the size of the target's clip box, in the target's own coordinates, and
// reaches the target in one copy when the object is destroyed. A printer target is drawn to
// directly.
#include "framework/gdi.h"

class CUniMemDC : public CDC {
public:
    explicit CUniMemDC(CDC& target);
    ~CUniMemDC() override;
    CUniMemDC(const CUniMemDC&) = delete;
    CUniMemDC& operator=(const CUniMemDC&) = delete;

private:
    void DrawDirectly();

    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CDC& m_target;
    RECT m_rect{};
    bool m_bMemDC;
    bool m_bMirrored = false;
};
