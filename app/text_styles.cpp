#include "app/text_styles.h"

#include "i18n/typefaces.h"

namespace {

// The artwork's palette.
constexpr COLORREF TEXT = RGB(0x1E, 0x29, 0x36);
constexpr COLORREF MUTED = RGB(0x5A, 0x6B, 0x7D);
constexpr COLORREF ACCENT = RGB(0x1F, 0x7B, 0xD8);
constexpr COLORREF WHITE = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF RUN_TEXT = RGB(0x3C, 0x4B, 0x5C);
constexpr COLORREF HEADER_TOOL = RGB(0xA9, 0xC2, 0xDD);
constexpr COLORREF HEADER_STEP = RGB(0xC9, 0xD8, 0xE8);
constexpr COLORREF CAPTION_DISABLED = RGB(0x8D, 0x99, 0xA6);
constexpr COLORREF EXIT_PRESSED = RGB(0xD2, 0x3C, 0x41);
constexpr COLORREF NONE = CLR_INVALID;

// clang-format off
const TextStyle g_styles[TEXT_STYLE_COUNT] = {
    //                        size weight colour       align      wrap   place         spacing  inset           pressed       disabled          checked weight
    /* NONE */               {14, 400, TEXT,         DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* HEADER_PRODUCT */     {22, 700, WHITE,        DT_LEFT,   false, PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* HEADER_TOOL */        {18, 400, HEADER_TOOL,  DT_LEFT,   false, PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* HEADER_STEP */        {13, 600, HEADER_STEP,  DT_RIGHT,  false, PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* EYEBROW */            {13, 700, ACCENT,       DT_LEFT,   false, PLACE_MIDDLE, 2, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* TITLE */              {32, 700, TEXT,         DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* HEADING */            {24, 600, TEXT,         DT_LEFT,   false, PLACE_BOTTOM, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* HEADING_BOLD */       {24, 700, TEXT,         DT_LEFT,   false, PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* SUBHEADING */         {22, 600, TEXT,         DT_LEFT,   false, PLACE_BOTTOM, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* LEAD */               {16, 400, MUTED,        DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* POINT */              {16, 600, TEXT,         DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* BODY */               {15, 400, TEXT,         DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* BODY_PANEL */         {15, 400, TEXT,         DT_LEFT,   true,  PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* BODY_MUTED */         {15, 400, MUTED,        DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* BODY_STRONG_MUTED */  {15, 600, MUTED,        DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* NOTE */               {14, 400, MUTED,        DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* NOTE_LINE */          {14, 400, MUTED,        DT_LEFT,   false, PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* NOTE_CENTRED */       {14, 400, MUTED,        DT_CENTER, true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* STEP */               {14, 400, TEXT,         DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* RUN_PROGRESS */       {14, 600, RUN_TEXT,     DT_CENTER, false, PLACE_MIDDLE, 0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* GUIDANCE */           {14, 400, RUN_TEXT,     DT_LEFT,   true,  PLACE_TOP,    0, {0, 0, 0, 0},       NONE,         NONE,             0},
    /* BANNER */             {20, 600, TEXT,         DT_LEFT,   true,  PLACE_MIDDLE, 0, {78, 4, 16, 4},     NONE,         NONE,             0},
    /* BANNER_TITLE */       {19, 700, TEXT,         DT_LEFT,   true,  PLACE_MIDDLE, 0, {78, 4, 16, 4},     NONE,         NONE,             0},
    /* BANNER_DETAIL */      {14, 400, TEXT,         DT_LEFT,   true,  PLACE_MIDDLE, 0, {78, 4, 16, 4},     NONE,         NONE,             0},
    // Captions stand where the artwork put them beside their face's icon, and grow away from it.
    /* CAPTION_BACK */       {16, 600, TEXT,         DT_LEFT,   false, PLACE_MIDDLE, 0, {60, 0, 6, 2},      TEXT,         NONE,             0},
    /* CAPTION_NEXT */       {16, 600, WHITE,        DT_RIGHT,  false, PLACE_MIDDLE, 0, {6, 0, 60, 2},      WHITE,        CAPTION_DISABLED, 0},
    /* CAPTION_EXIT */       {16, 600, RGB(0, 0, 0), DT_CENTER, false, PLACE_MIDDLE, 0, {6, 0, 6, 2},       EXIT_PRESSED, NONE,             0},
    /* CAPTION_START */      {17, 600, WHITE,        DT_LEFT,   false, PLACE_MIDDLE, 0, {64, 0, 8, 2},      WHITE,        CAPTION_DISABLED, 0},
    /* CAPTION_RESTART */    {17, 600, WHITE,        DT_LEFT,   false, PLACE_MIDDLE, 0, {73, 0, 8, 2},      WHITE,        CAPTION_DISABLED, 0},
    /* CAPTION_LICENSE */    {15, 400, TEXT,         DT_LEFT,   false, PLACE_MIDDLE, 0, {33, 0, 0, 0},      TEXT,         NONE,             600},
    /* CAPTION_NOTICE */     {16, 600, TEXT,         DT_LEFT,   false, PLACE_MIDDLE, 0, {50, 0, 6, 0},      TEXT,         NONE,             0},
};
// clang-format on

}  // namespace

const TextStyle& GetTextStyle(TextStyleId nStyle)
{
    return g_styles[nStyle < TEXT_STYLE_COUNT ? nStyle : TEXT_STYLE_NONE];
}

HFONT CStyleFonts::CheckedFont(TextStyleId nStyle)
{
    const TextStyle& style = GetTextStyle(nStyle);
    return Make(style.nSize, style.nCheckedWeight != 0 ? style.nCheckedWeight : style.nWeight);
}

HFONT CStyleFonts::MakePixels(int nPixels, int nWeight)
{
    CGdiObject<HFONT>& font = m_fonts[{nPixels, nWeight}];
    if (!font.IsNull())
        return font;
    std::string strFace = TypefaceFor(m_strLanguage);
    int nFontWeight = nWeight;
    if (strFace == "Open Sans" && nWeight == FW_SEMIBOLD) {
        // A family of its own: "Open Sans" at 600 would be a made-up bold, and so would this family at 600
        // where the system reads its weight from its style's name ("Regular", as Wine does).
        strFace = "Open Sans Semibold";
        nFontWeight = FW_NORMAL;
    } else if (strFace != "Open Sans" && nWeight > FW_NORMAL) {
        nFontWeight = FW_BOLD;  // the other faces come in regular and bold
    }
    LOGFONTW lf = {};
    lf.lfHeight = -nPixels;
    lf.lfWeight = nFontWeight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    ::MultiByteToWideChar(CP_UTF8, 0, strFace.c_str(), -1, lf.lfFaceName, LF_FACESIZE);
    font.Attach(::CreateFontIndirectW(&lf));
    return font;
}
