// The wizard's artwork as Windows reads it: every picture the dialog loads, at its size, stored as a 24-bit
// PNG in every set (no bitmap resource: a 24-bit BMP of the 100 % set took four times the room of all
// the others together); faces that change visibly between states; faces and banners whose edges match
// the page under them; control areas that the page backgrounds leave plain; and the icon's three sizes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/artwork_set.h"

namespace {

struct ExpectedBitmap {
    int nId;
    int nWidth;
    int nHeight;
};

const ExpectedBitmap EXPECTED_BITMAPS[] = {
    // Page backgrounds.
    {136, 1024, 600}, {2001, 1024, 600}, {2002, 1024, 600}, {2003, 1024, 600},
    {2004, 1024, 600}, {2006, 1024, 600}, {2010, 1024, 600},
    // Banners and the cable drawings of the picture controls.
    {2025, 812, 68}, {2026, 812, 68}, {2027, 812, 68}, {143, 812, 68}, {146, 812, 68},
    {145, 332, 150}, {134, 614, 263},
    // Back, Next, Exit.
    {2011, 132, 46}, {2012, 132, 46}, {2013, 132, 46}, {2014, 132, 46}, {2015, 132, 46},
    {2016, 132, 46}, {2017, 132, 46},
    // Licence and notice radio buttons.
    {2018, 406, 33}, {2019, 406, 33}, {2020, 406, 33}, {2021, 406, 33},
    {138, 207, 43}, {139, 207, 43}, {140, 207, 43}, {141, 207, 43},
    // Start button, and its faces after a failed download.
    {2022, 310, 42}, {2023, 310, 42}, {2024, 310, 42}, {147, 310, 42}, {148, 310, 42},
};

// A face and the face it must differ from: pressed or checked against normal, disabled against normal; by
// at least 3 % of its pixels, or by as many as nMinPixels where only a mark changes (a licence choice's
// round mark, 18 x 18 pixels: its caption's weight is the wizard's).
struct FacePair {
    int nNormal;
    int nOther;
    int nMinPixels = 0;
};

const FacePair DISTINCT_FACES[] = {
    {2011, 2012}, {2013, 2014}, {2013, 2015}, {2016, 2017}, {2018, 2019, 200}, {2020, 2021, 200},
    {138, 139}, {140, 141}, {2022, 2023}, {2022, 2024}, {147, 148}, {2022, 147},
};

// Where the wizard puts an image over a page: its top-left corner must carry the page's colour there.
struct Placement {
    int nImage;
    int nPage;
    int x;
    int y;
};

const Placement PLACEMENTS[] = {
    {2016, 136, 20, 530},   {2013, 136, 862, 530},  {2011, 2001, 710, 530}, {2015, 2001, 862, 530},
    {2018, 2001, 115, 435}, {2021, 2001, 115, 470}, {139, 2002, 260, 400},  {140, 2002, 530, 400},
    {2016, 2003, 20, 530},  {143, 2004, 95, 70},    {134, 2004, 182, 177},  {2026, 2010, 105, 77},
    {2025, 2010, 105, 79},  {146, 2010, 105, 81},   {145, 2010, 296, 171},  {2022, 2010, 357, 410},
    {147, 2010, 357, 410},  {2016, 2010, 862, 530}, {2016, 2006, 862, 530}, {2027, 2010, 107, 82},
};

// Control rectangles that a page's background must leave plain (one colour), so no drawing hides
// under a control.
struct ControlArea {
    int nPage;
    RECT rc;
};

const ControlArea CONTROL_AREAS[] = {
    {136, {20, 530, 152, 576}},   {136, {862, 530, 994, 576}},  {2001, {115, 435, 521, 503}},
    {2001, {20, 530, 152, 576}},  {2001, {710, 530, 994, 576}}, {2002, {260, 400, 854, 454}},
    {2002, {710, 530, 994, 576}}, {2003, {710, 530, 994, 576}}, {2004, {710, 530, 994, 576}},
    {2010, {137, 370, 887, 390}}, {2010, {357, 410, 667, 452}}, {2010, {862, 530, 994, 576}},
    {2010, {105, 77, 917, 149}},  {2006, {862, 530, 994, 576}},
};

// The pixels of a picture of the 100 % set as the wizard loads it, top row first.
struct StoredBitmap {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;  // 0x00BBGGRR as GetDIBits gives them

    bool Empty() const { return pixels.empty(); }
    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    COLORREF At(int x, int y) const {
        const uint32_t n = pixels[static_cast<size_t>(y) * nWidth + x];
        return RGB((n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
    }
};

StoredBitmap FindStoredBitmap(int nId) {
    StoredBitmap bmp;
    HBITMAP hBmp = LoadArtworkBitmap(GetModuleHandleA(nullptr), nId, 96);
    BITMAP bm{};
    if (hBmp == nullptr || GetObjectA(hBmp, sizeof(bm), &bm) != static_cast<int>(sizeof(bm))) return bmp;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bmp.pixels.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC hdc = GetDC(nullptr);
    if (GetDIBits(hdc, hBmp, 0, bm.bmHeight, bmp.pixels.data(), &info, DIB_RGB_COLORS) == bm.bmHeight) {
        bmp.nWidth = bm.bmWidth;
        bmp.nHeight = bm.bmHeight;
    } else {
        bmp.pixels.clear();
    }
    ReleaseDC(nullptr, hdc);
    DeleteObject(hBmp);
    return bmp;
}

TEST(ArtworkBitmaps, EveryBitmapLoadsAtItsSize) {
    for (const ExpectedBitmap& e : EXPECTED_BITMAPS) {
        SCOPED_TRACE(e.nId);
        HBITMAP hBmp = LoadArtworkBitmap(GetModuleHandleA(nullptr), e.nId, 96);
        ASSERT_NE(hBmp, nullptr);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(hBmp, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
        EXPECT_EQ(bm.bmWidth, e.nWidth);
        EXPECT_EQ(bm.bmHeight, e.nHeight);
        DeleteObject(hBmp);
    }
}

// The mean of each channel over every pixel.
std::vector<double> MeanColour(HBITMAP hBmp, int nWidth, int nHeight) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(nWidth) * nHeight);
    HDC hdc = GetDC(nullptr);
    GetDIBits(hdc, hBmp, 0, nHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hdc);
    std::vector<double> mean(3, 0.0);
    for (uint32_t n : pixels)
        for (int c = 0; c < 3; ++c) mean[c] += (n >> (8 * c)) & 0xFF;
    for (double& d : mean) d /= static_cast<double>(pixels.size());
    return mean;
}

TEST(ArtworkBitmaps, EverySetOfADisplayScaleHoldsEveryBitmapAtItsSize) {
    for (int nSet = 0; nSet < ARTWORK_SET_COUNT; ++nSet) {
        for (const ExpectedBitmap& e : EXPECTED_BITMAPS) {
            SCOPED_TRACE(std::to_string(e.nId) + " at " + std::to_string(ArtworkSetPercent(nSet)) + " %");
            // A 24-bit PNG (bit depth 8, colour type 2: RGB without alpha), stored without time stamps, so
            // that every build makes the same file; no bitmap resource beside the 100 % one.
            const std::string strType = "ART" + std::to_string(ArtworkSetPercent(nSet));
            HRSRC hRes = FindResourceA(nullptr, MAKEINTRESOURCEA(e.nId), strType.c_str());
            ASSERT_NE(hRes, nullptr);
            const std::string strPng(static_cast<const char*>(LockResource(LoadResource(nullptr, hRes))),
                                     SizeofResource(nullptr, hRes));
            ASSERT_GT(strPng.size(), 26u);
            EXPECT_EQ(strPng.compare(12, 4, "IHDR"), 0);
            EXPECT_EQ(strPng[24], 8);
            EXPECT_EQ(strPng[25], 2);
            EXPECT_EQ(strPng.find("tIME"), std::string::npos);
            EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(e.nId), MAKEINTRESOURCEA(2) /* RT_BITMAP */), nullptr);

            HBITMAP hBmp = LoadArtworkSetBitmap(GetModuleHandleA(nullptr), e.nId, nSet);
            ASSERT_NE(hBmp, nullptr);
            BITMAP bm{};
            ASSERT_EQ(GetObjectA(hBmp, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
            EXPECT_EQ(bm.bmWidth, MulDiv(e.nWidth, ArtworkSetDpi(nSet), 96));
            EXPECT_EQ(bm.bmHeight, MulDiv(e.nHeight, ArtworkSetDpi(nSet), 96));
            // The same picture as at 100 %, only finer.
            HBITMAP hBase = LoadArtworkSetBitmap(GetModuleHandleA(nullptr), e.nId, 0);
            const std::vector<double> scaled = MeanColour(hBmp, bm.bmWidth, bm.bmHeight);
            const std::vector<double> base = MeanColour(hBase, e.nWidth, e.nHeight);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(scaled[c], base[c], 4.0);
            DeleteObject(hBase);
            DeleteObject(hBmp);
        }
    }
}

TEST(ArtworkBitmaps, NoBitmapIsOneFlatColour) {
    for (const ExpectedBitmap& e : EXPECTED_BITMAPS) {
        SCOPED_TRACE(e.nId);
        StoredBitmap bmp = FindStoredBitmap(e.nId);
        ASSERT_FALSE(bmp.Empty());
        const COLORREF first = bmp.At(0, 0);
        int nOther = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) nOther += bmp.At(x, y) != first;
        EXPECT_GT(nOther, bmp.Width() * bmp.Height() / 50);
    }
}

TEST(ArtworkFaces, PressedCheckedAndDisabledFacesDifferVisiblyFromNormal) {
    for (const FacePair& pair : DISTINCT_FACES) {
        SCOPED_TRACE(::testing::Message() << pair.nNormal << " vs " << pair.nOther);
        StoredBitmap a = FindStoredBitmap(pair.nNormal);
        StoredBitmap b = FindStoredBitmap(pair.nOther);
        ASSERT_FALSE(a.Empty());
        ASSERT_FALSE(b.Empty());
        ASSERT_EQ(a.Width(), b.Width());
        ASSERT_EQ(a.Height(), b.Height());
        int nDiffering = 0;
        for (int y = 0; y < a.Height(); ++y) {
            for (int x = 0; x < a.Width(); ++x) {
                COLORREF ca = a.At(x, y), cb = b.At(x, y);
                int nDelta = std::abs(GetRValue(ca) - GetRValue(cb)) + std::abs(GetGValue(ca) - GetGValue(cb)) +
                             std::abs(GetBValue(ca) - GetBValue(cb));
                nDiffering += nDelta > 24;
            }
        }
        // More than anti-aliasing noise changes clearly.
        EXPECT_GT(nDiffering, pair.nMinPixels != 0 ? pair.nMinPixels : a.Width() * a.Height() * 3 / 100);
    }
}

TEST(ArtworkFaces, PressedFacesAreDarkerThanNormal) {
    const FacePair PRESSED[] = {{2011, 2012}, {2013, 2014}, {2016, 2017}, {2022, 2023}, {147, 148}};
    auto Brightness = [](const StoredBitmap& bmp) {
        long long nSum = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) {
                COLORREF c = bmp.At(x, y);
                nSum += GetRValue(c) + GetGValue(c) + GetBValue(c);
            }
        return nSum;
    };
    for (const FacePair& pair : PRESSED) {
        SCOPED_TRACE(pair.nOther);
        StoredBitmap a = FindStoredBitmap(pair.nNormal);
        StoredBitmap b = FindStoredBitmap(pair.nOther);
        ASSERT_FALSE(a.Empty());
        ASSERT_FALSE(b.Empty());
        EXPECT_LT(Brightness(b), Brightness(a));
    }
}

TEST(ArtworkPages, ImagesCarryThePageColourWhereTheyArePlaced) {
    for (const Placement& p : PLACEMENTS) {
        SCOPED_TRACE(::testing::Message() << p.nImage << " on " << p.nPage);
        StoredBitmap image = FindStoredBitmap(p.nImage);
        StoredBitmap page = FindStoredBitmap(p.nPage);
        ASSERT_FALSE(image.Empty());
        ASSERT_FALSE(page.Empty());
        ASSERT_LE(p.x + image.Width(), page.Width());
        ASSERT_LE(p.y + image.Height(), page.Height());
        const int nRight = image.Width() - 1, nBottom = image.Height() - 1;
        EXPECT_EQ(image.At(0, 0), page.At(p.x, p.y));
        EXPECT_EQ(image.At(nRight, 0), page.At(p.x + nRight, p.y));
        EXPECT_EQ(image.At(0, nBottom), page.At(p.x, p.y + nBottom));
        EXPECT_EQ(image.At(nRight, nBottom), page.At(p.x + nRight, p.y + nBottom));
    }
}

TEST(ArtworkPages, ControlAreasArePlain) {
    for (const ControlArea& area : CONTROL_AREAS) {
        SCOPED_TRACE(::testing::Message() << "page " << area.nPage << " at " << area.rc.left << ","
                                          << area.rc.top);
        StoredBitmap page = FindStoredBitmap(area.nPage);
        ASSERT_FALSE(page.Empty());
        const COLORREF plain = page.At(area.rc.left, area.rc.top);
        int nOther = 0;
        for (int y = area.rc.top; y < area.rc.bottom; ++y)
            for (int x = area.rc.left; x < area.rc.right; ++x) nOther += page.At(x, y) != plain;
        EXPECT_EQ(nOther, 0);
    }
}

TEST(ArtworkIcon, IconHas16And32And48PixelImages) {
    HRSRC hGroup = FindResourceA(nullptr, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(hGroup, nullptr);
    auto* pDir = static_cast<BYTE*>(LockResource(LoadResource(nullptr, hGroup)));
    ASSERT_NE(pDir, nullptr);
    for (int nSize : {16, 32, 48}) {
        SCOPED_TRACE(nSize);
        int nIconId = LookupIconIdFromDirectoryEx(pDir, TRUE, nSize, nSize, LR_DEFAULTCOLOR);
        ASSERT_NE(nIconId, 0);
        HRSRC hIcon = FindResourceA(nullptr, MAKEINTRESOURCEA(nIconId), MAKEINTRESOURCEA(3) /* RT_ICON */);
        ASSERT_NE(hIcon, nullptr);
        // The chosen image is stored at exactly this size (a DIB, as Windows XP reads icons).
        auto* pImage = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, hIcon)));
        ASSERT_NE(pImage, nullptr);
        ASSERT_EQ(pImage->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(pImage->biWidth, nSize);
        EXPECT_EQ(pImage->biHeight, 2 * nSize);  // colour and mask rows
        HICON hLoaded = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128), IMAGE_ICON, nSize, nSize, 0));
        ASSERT_NE(hLoaded, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(hLoaded, &info));
        BITMAP bm{};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, nSize);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(hLoaded);
    }
}

}  // namespace
