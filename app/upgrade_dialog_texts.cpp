// Every word of the dialog in the current language at the current scale: window texts from the table of
// controls through the translations, fonts from the text styles, and the places of texts that make room
// for each other.
#include <algorithm>
#include <cstdio>

#include "app/dialog_controls.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "i18n/translations.h"
#include "platform/win32/utf16.h"

namespace {

std::wstring Wide(const char* pszUtf8)
{
    return Platform::Utf16(pszUtf8);
}

// Sets a window's text through the wide API, whatever the character set of its window procedure, and
// only when it changes (a text window repaints on every change).
void SetTextOf(HWND hWnd, const std::wstring& strText)
{
    if (WindowTextW(hWnd) != strText)
        ::SetWindowTextW(hWnd, strText.c_str());
}

// The least gap kept between a text and the one above it that needs more room than the design gave it.
constexpr int FLOW_MIN_GAP = 4;

UINT ReadingOrder()
{
    return CurrentLanguageIsRightToLeft() ? DT_RTLREADING : 0;
}

TextLook LookOf(TextStyleId nStyle, CStyleFonts& fonts)
{
    const TextStyle& style = GetTextStyle(nStyle);
    TextLook look;
    look.hFont = fonts.Font(nStyle);
    look.clrText = style.clrText;
    UINT nPlace = 0;
    if (!style.bWrap)
        nPlace = DT_SINGLELINE | (style.nPlace == PLACE_MIDDLE ? DT_VCENTER : style.nPlace == PLACE_BOTTOM ? DT_BOTTOM : 0);
    look.nFormat = style.nAlign | (style.bWrap ? DT_WORDBREAK : nPlace) | DT_NOPREFIX | ReadingOrder();
    look.bMiddle = style.bWrap && style.nPlace == PLACE_MIDDLE;
    look.nLetterSpacing = fonts.Px(style.nLetterSpacing);
    return look;
}

RECT InsetOf(TextStyleId nStyle, CStyleFonts& fonts)
{
    const RECT& rc = GetTextStyle(nStyle).rcInset;
    return RECT{fonts.Px(rc.left), fonts.Px(rc.top), fonts.Px(rc.right), fonts.Px(rc.bottom)};
}

CSkinButton::CaptionLook CaptionLookOf(TextStyleId nStyle, CStyleFonts& fonts)
{
    const TextStyle& style = GetTextStyle(nStyle);
    CSkinButton::CaptionLook look;
    look.text = LookOf(nStyle, fonts);
    look.text.nFormat = style.nAlign | DT_SINGLELINE | DT_VCENTER | ReadingOrder();
    look.rcInset = InsetOf(nStyle, fonts);
    look.clrPressed = style.clrPressed;
    look.clrDisabled = style.clrDisabled;
    look.hCheckedFont = style.nCheckedWeight != 0 ? fonts.CheckedFont(nStyle) : nullptr;
    look.nPressedShift = fonts.Px(1);  // as the pressed faces sink
    return look;
}

}  // namespace

void CVelmoraEUT_KRT_P940Dlg::ApplyTexts()
{
    // The controls take the new fonts before the old ones go (with pOldFonts, at the end).
    auto pOldFonts = std::move(m_pStyleFonts);
    m_pStyleFonts = std::make_unique<CStyleFonts>(CurrentLanguage(), m_scale.Dpi());
    for (const DialogControl& row : DialogControls())
        ApplyRowText(row);
    LayoutTexts();
    RedrawWindow(RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CVelmoraEUT_KRT_P940Dlg::ApplyRowText(const DialogControl& row)
{
    if (!m_pStyleFonts)
        return;
    CStyleFonts& fonts = *m_pStyleFonts;
    CWnd& control = row.pfnMember(*this);
    const std::wstring strText = row.pszCaption != nullptr ? Wide(TrContext(row.pszContext, row.pszCaption)) : std::wstring();
    switch (row.nKind) {
    case KIND_SKIN_BUTTON: {
        // After a failed download the start button restarts the wizard, and says so.
        const bool bRestart = row.nId == IDC_BTN_START && m_bRestartMode;
        auto& button = static_cast<CSkinButton&>(control);
        button.SetCaptionLook(CaptionLookOf(bRestart ? RESTART_CAPTION_STYLE : row.nStyle, fonts));
        SetTextOf(button.m_hWnd, bRestart ? Wide(Tr(RESTART_CAPTION)) : strText);
        break;
    }
    case KIND_PICTURE: {
        auto& picture = static_cast<CCaptionedPicture&>(control);
        const std::wstring strDetail = row.pszDetail != nullptr ? Wide(Tr(row.pszDetail)) : std::wstring();
        if (row.nStyle != TEXT_STYLE_NONE) {
            const RECT rcInset = InsetOf(row.nStyle, fonts);
            RECT rcPicture = {};
            picture.GetClientRect(&rcPicture);
            picture.SetTextLooks(LookOf(row.nStyle, fonts), LookOf(TEXT_STYLE_BANNER_DETAIL, fonts),
                                 RECT{rcInset.left, rcInset.top, rcPicture.right - rcInset.right,
                                      rcPicture.bottom - rcInset.bottom});
        }
        picture.SetDetail(strDetail);
        SetTextOf(picture.m_hWnd, CCaptionedPicture::JoinedText(strText, strDetail));
        break;
    }
    case KIND_TEXT: {
        auto& text = static_cast<CPageText&>(control);
        text.SetLook(LookOf(row.nStyle, fonts));
        if (row.nId == IDC_TEXT_HEADER_STEP)
            ApplyStepText();
        else if (row.pszCaption != nullptr)
            SetTextOf(text.m_hWnd, strText);
        break;
    }
    case KIND_PUSH_BUTTON:
        control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Font(row.nStyle)), TRUE);
        if (row.pszCaption != nullptr)
            SetTextOf(control.m_hWnd, strText);
        break;
    default:
        break;
    }
}

void CVelmoraEUT_KRT_P940Dlg::ApplyStepText()
{
    const PageLayout* pLayout = GetPageLayout(m_nPage);
    if (pLayout == nullptr)
        return;  // no such page: the header keeps the step it shows
    char szCount[128] = {};
    std::snprintf(szCount, sizeof(szCount), Tr(STEP_COUNT_FORMAT), m_nPage + 1, PAGE_COUNT);
    SetTextOf(PageText(IDC_TEXT_HEADER_STEP).m_hWnd,
              Wide(TrContext(STEP_CONTEXT, pLayout->pszStep)) + STEP_SEPARATOR + Wide(szCount));
}

void CVelmoraEUT_KRT_P940Dlg::LayoutTexts()
{
    const auto rows = DialogControls();
    auto followerOf = [&](int nId) -> const DialogControl* {
        for (const DialogControl& other : rows) {
            if (other.nKind == KIND_TEXT && other.nFlow != FLOW_NONE && other.nFlowFrom == nId)
                return &other;
        }
        return nullptr;
    };
    // The table lists a text before the texts that continue it, so its box is known when they are placed.
    std::map<int, RECT> placed;
    for (const DialogControl& row : rows) {
        if (row.nKind != KIND_TEXT)
            continue;
        CPageText& text = static_cast<CPageText&>(row.pfnMember(*this));
        RECT rc = m_scale.Rect(row.nX, row.nY, row.nWidth, row.nHeight);
        const auto itFrom = row.nFlow != FLOW_NONE ? placed.find(row.nFlowFrom) : placed.end();
        if (itFrom != placed.end()) {
            const DialogControl& from = *FindDialogControl(row.nFlowFrom);
            if (row.nFlow == FLOW_BELOW) {
                // Down only as far as the text above needs: a wide gap of the design gives some of itself first.
                const int nGap = std::min(row.nY - (from.nY + from.nHeight), FLOW_MIN_GAP);
                rc.top = std::max<LONG>(rc.top, itFrom->second.bottom + m_scale.Px(nGap));
            } else {
                rc.left = itFrom->second.right + m_scale.Px(row.nX - (from.nX + from.nWidth));
            }
        }
        rc.right = std::max(rc.right, rc.left);
        rc.bottom = std::max(rc.bottom, rc.top);
        // The words measured are the translation itself, whatever the window keeps of it.
        const std::wstring strWords = row.pszCaption != nullptr ? Wide(TrContext(row.pszContext, row.pszCaption))
                                                               : WindowTextW(text.m_hWnd);
        CClientDC dc(text.m_hWnd);
        TextLook look = text.Look();
        const DialogControl* pFollower = followerOf(row.nId);
        // A box that a text on the same line follows takes the words' width, whatever it is.
        const bool bAnyWidth = pFollower != nullptr && pFollower->nFlow == FLOW_AFTER;
        if (!GetTextStyle(row.nStyle).bWrap && row.pszCaption != nullptr) {
            // A line longer or taller than its box gets smaller, down to two thirds of its size.
            const int nPixels = m_scale.Px(GetTextStyle(row.nStyle).nSize);
            for (int nSize = nPixels; nSize * 3 >= nPixels * 2; --nSize) {
                look.hFont = m_pStyleFonts->FontAt(row.nStyle, nSize);
                const SIZE needed = MeasureText(dc, strWords, look, rc.right - rc.left);
                if (needed.cy <= rc.bottom - rc.top && (bAnyWidth || needed.cx <= rc.right - rc.left))
                    break;
            }
            text.SetLook(look);
        }
        // A continued text takes the room its words need, at least its design's; the last of a chain
        // keeps its design's far edge, where the page's room for it ends.
        if (pFollower != nullptr) {
            const SIZE needed = MeasureText(dc, strWords, look, rc.right - rc.left);
            if (pFollower->nFlow == FLOW_AFTER)
                rc.right = rc.left + needed.cx;
            else
                rc.bottom = rc.top + std::max<LONG>(m_scale.Px(row.nHeight), needed.cy);
        }
        placed[row.nId] = rc;
        text.MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    }
}
