#pragma once
// The looks of the wizard's words, as the artwork drew them: size in logical pixels (the em), weight,
// colour, alignment, wrapping and where the words stand in the height of their box; for a caption also
// where it stands on its face and its colours while pressed and disabled. Every text window, banner and
// caption names one of these.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "framework/gdi.h"

enum TextStyleId : uint8_t {
    TEXT_STYLE_NONE,  // not drawn: a drawing's name for screen readers
    TEXT_STYLE_HEADER_PRODUCT,
    TEXT_STYLE_HEADER_TOOL,
    TEXT_STYLE_HEADER_STEP,
    TEXT_STYLE_EYEBROW,
    TEXT_STYLE_TITLE,
    TEXT_STYLE_HEADING,
    TEXT_STYLE_HEADING_BOLD,
    TEXT_STYLE_SUBHEADING,
    TEXT_STYLE_LEAD,
    TEXT_STYLE_POINT,
    TEXT_STYLE_BODY,
    TEXT_STYLE_BODY_PANEL,
    TEXT_STYLE_BODY_MUTED,
    TEXT_STYLE_BODY_STRONG_MUTED,
    TEXT_STYLE_NOTE,
    TEXT_STYLE_NOTE_LINE,
    TEXT_STYLE_NOTE_CENTRED,
    TEXT_STYLE_STEP,
    TEXT_STYLE_RUN_PROGRESS,
    TEXT_STYLE_GUIDANCE,
    TEXT_STYLE_BANNER,
    TEXT_STYLE_BANNER_TITLE,
    TEXT_STYLE_BANNER_DETAIL,
    TEXT_STYLE_CAPTION_BACK,
    TEXT_STYLE_CAPTION_NEXT,
    TEXT_STYLE_CAPTION_EXIT,
    TEXT_STYLE_CAPTION_START,
    TEXT_STYLE_CAPTION_RESTART,
    TEXT_STYLE_CAPTION_LICENSE,
    TEXT_STYLE_CAPTION_NOTICE,
    TEXT_STYLE_COUNT
};

// Where the words stand in the height of their box. A box has room for a taller script than the
// artwork's Open Sans; the place keeps the English words where the artwork had them.
enum TextPlace : uint8_t {
    PLACE_TOP,     // from the top: a paragraph
    PLACE_MIDDLE,  // in the middle: a line in a band, a paragraph in a panel
    PLACE_BOTTOM,  // on the bottom: a line with room above it
};

struct TextStyle {
    int nSize;  // logical pixels
    int nWeight;
    COLORREF clrText;
    UINT nAlign;  // DT_LEFT, DT_CENTER or DT_RIGHT
    // false: one line, made smaller where it is longer or taller than its box (a heading); a paragraph
    // wraps and has its box's room.
    bool bWrap;
    TextPlace nPlace;
    int nLetterSpacing;
    // Where the words stand inside their control (a face, a banner), logical pixels from its left, top,
    // right and bottom edges; a caption is centred in it vertically.
    RECT rcInset;
    // A caption's colour while pressed and while disabled (CLR_INVALID: as clrText; engraved as the system
    // draws a disabled caption), and its weight while checked (0: nWeight).
    COLORREF clrPressed;
    COLORREF clrDisabled;
    int nCheckedWeight;
};

const TextStyle& GetTextStyle(TextStyleId nStyle);

// The fonts of the styles for a language (its typeface, TypefaceFor) at a scale in dots per inch, made
// on first use and deleted with the object.
class CStyleFonts {
public:
    CStyleFonts(const std::string& strLanguage, int nDpi) : m_strLanguage(strLanguage), m_nDpi(nDpi) {}
    CStyleFonts(const CStyleFonts&) = delete;
    CStyleFonts& operator=(const CStyleFonts&) = delete;

    HFONT Font(TextStyleId nStyle) { return Make(GetTextStyle(nStyle).nSize, GetTextStyle(nStyle).nWeight); }
    // The style's font at nPixels (not logical pixels: a size in between the scaled sizes).
    HFONT FontAt(TextStyleId nStyle, int nPixels) { return MakePixels(nPixels, GetTextStyle(nStyle).nWeight); }
    // The style's font while its control is checked (a choice's caption); its own font without a weight for it.
    HFONT CheckedFont(TextStyleId nStyle);
    int Px(int nLogical) const { return ::MulDiv(nLogical, m_nDpi, 96); }

private:
    HFONT Make(int nSize, int nWeight) { return MakePixels(Px(nSize), nWeight); }
    HFONT MakePixels(int nPixels, int nWeight);

    std::string m_strLanguage;
    int m_nDpi;
    std::map<std::pair<int, int>, CGdiObject<HFONT>> m_fonts;
};
