// The off-screen context: nothing reaches the target while drawing, then the whole clip box at once.
#include <gtest/gtest.h>

#include <optional>

#include "controls/uni_mem_dc.h"

namespace {

const COLORREF CLR_WHITE = RGB(255, 255, 255);
const COLORREF CLR_RED = RGB(255, 0, 0);
const COLORREF CLR_BLUE = RGB(0, 0, 255);

// A 100 x 60 white picture to draw on, clipped to (20, 10)-(70, 40).
class UniMemDcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bitmap.CreateCompatibleBitmap(CClientDC(nullptr), 100, 60));
        m_select.emplace(m_target, m_bitmap);
        m_target.FillSolidRect(RECT{0, 0, 100, 60}, CLR_WHITE);
        m_target.IntersectClipRect(RECT{20, 10, 70, 40});
    }
    COLORREF At(int x, int y) const
    {
        ::SelectClipRgn(m_target, nullptr);  // GetPixel honours the clip
        COLORREF clr = ::GetPixel(m_target, x, y);
        m_target.IntersectClipRect(RECT{20, 10, 70, 40});
        return clr;
    }

    CBitmap m_bitmap;
    CMemoryDC m_target{nullptr};
    std::optional<CSelectObject> m_select;
};

TEST_F(UniMemDcTest, TheTargetChangesOnlyWhenTheContextGoes)
{
    {
        CUniMemDC dc(m_target);
        dc.FillSolidRect(RECT{0, 0, 100, 60}, CLR_RED);
        dc.FillSolidRect(RECT{20, 10, 21, 11}, CLR_BLUE);  // the target's own coordinates
        EXPECT_EQ(At(30, 20), CLR_WHITE);
        EXPECT_EQ(At(20, 10), CLR_WHITE);
    }
    EXPECT_EQ(At(20, 10), CLR_BLUE);
    EXPECT_EQ(At(21, 10), CLR_RED);
    EXPECT_EQ(At(69, 39), CLR_RED);
    EXPECT_EQ(At(70, 39), CLR_WHITE);  // outside the clip box nothing changes
    EXPECT_EQ(At(69, 40), CLR_WHITE);
    EXPECT_EQ(At(19, 10), CLR_WHITE);
    EXPECT_EQ(At(5, 5), CLR_WHITE);
}

TEST_F(UniMemDcTest, APrinterIsDrawnToDirectly)
{
    m_target.m_bPrinting = true;
    {
        CUniMemDC dc(m_target);
        EXPECT_TRUE(dc.IsPrinting());
        dc.FillSolidRect(RECT{0, 0, 100, 60}, CLR_RED);
        EXPECT_EQ(At(30, 20), CLR_RED);
    }
    EXPECT_EQ(At(30, 20), CLR_RED);
    EXPECT_EQ(At(5, 5), CLR_WHITE);  // the target's clip held
    EXPECT_NE(::GetCurrentObject(m_target, OBJ_BITMAP), nullptr);  // the target's handles are not released
    EXPECT_EQ(::GetCurrentObject(m_target, OBJ_BITMAP), static_cast<HGDIOBJ>(m_bitmap));
}

}  // namespace
