// The wizard at the display's scale: places, faces, pictures, fonts, the status bar and the window's
// size, and a change of scale when the window moves to another monitor.
#include "app/dialog_controls.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "framework/artwork_set.h"
#include "i18n/language_choice.h"
#include "i18n/translations.h"
#include "i18n/typefaces.h"
#include "platform/win32/utf16.h"

#include <richedit.h>

#include <algorithm>

namespace {

constexpr int FOCUS_RING_WIDTH = 2;

// Empty where the artwork's typeface has the language's script.
std::wstring LanguageOwnTypeface()
{
    const std::string strFace = TypefaceFor(CurrentLanguage());
    return strFace == TypefaceFor(ENGLISH_LANGUAGE) ? std::wstring() : Platform::Utf16(strFace);
}

}  // namespace

int CVelmoraEUT_KRT_P940Dlg::FittingDpi(int nMonitorDpi, const RECT& rcWindow) const
{
    const RECT rcWork = WorkAreaOf(rcWindow);
    const DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
    return ChooseLayoutDpi(nMonitorDpi, SIZE{rcWork.right - rcWork.left, rcWork.bottom - rcWork.top}, dwStyle, dwExStyle,
                           WindowDpi(m_hWnd));
}

void CVelmoraEUT_KRT_P940Dlg::ApplyScale(int nDpi)
{
    m_scale = CDisplayScale(nDpi);
    for (const DialogControl& row : DialogControls()) {
        CWnd& control = row.pfnMember(*this);
        if (row.nKind == KIND_PICTURE) {
            auto& picture = static_cast<CCaptionedPicture&>(control);
            picture.SetPicture(row.nNormal, nDpi);
            picture.SetWindowPos(nullptr, m_scale.Px(row.nX), m_scale.Px(row.nY), 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (row.nKind == KIND_PUSH_BUTTON) {
            PlaceControl(row.nId, row.nX, row.nY, row.nWidth, row.nHeight);  // they stand where the table says
        } else if (row.nKind == KIND_SKIN_BUTTON) {
            auto& button = static_cast<CSkinButton&>(control);
            button.SetArtworkScale(nDpi);
            button.SetFocusRing(FOCUS_RING_COLOUR, m_scale.Px(FOCUS_RING_WIDTH));
        }
    }
    // What the pages placed and skinned so far, again at this scale.
    const auto faces = m_faces;  // SkinControl writes the entries again
    for (const auto& [nId, face] : faces)
        SkinControl(*SkinButtonById(nId), face.nNormal, face.nPressed, face.nDisabled);
    for (const auto& [nId, place] : m_places)
        PlaceControl(nId, place.x, place.y, place.cx, place.cy);
    if (const PageLayout* pLayout = GetPageLayout(m_nPage); pLayout != nullptr && !m_bmpBackground.IsNull()) {
        m_bmpBackground.LoadBitmap(pLayout->nBackground, nDpi);
        SizeWindow();
    }
    // The bar docks itself to the window's new size.
    ScaleFonts();
    ScaleStatusBar();
    ApplyTexts();  // the texts' fonts and the places of the texts that make room for each other
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CVelmoraEUT_KRT_P940Dlg::PlaceControl(int nId, int x, int y, int cx, int cy)
{
    m_places[nId] = LogicalPlace{x, y, cx, cy};
    const RECT rc = m_scale.Rect(x, y, cx, cy);
    ControlById(nId)->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void CVelmoraEUT_KRT_P940Dlg::SkinControl(CSkinButton& button, WORD nNormal, WORD nPressed, WORD nDisabled)
{
    m_faces[button.GetDlgCtrlID()] = FaceIds{nNormal, nPressed, nDisabled};
    button.SetSkin(nNormal, 0, nPressed, nDisabled, 0, 0, 0, 0, 0, 0);
}

void CVelmoraEUT_KRT_P940Dlg::ScaleFonts()
{
    // The system's fonts are made for its own scale; the wizard's may differ (another monitor, or a
    // smaller layout that fits the screen).
    const int nSystem = SystemDpi();
    const int nDpi = m_scale.Dpi();
    // A script the template's font lacks is drawn in the language's own typeface.
    const std::wstring strFace = LanguageOwnTypeface();
    if (m_statusBar.IsWindow()) {
        if (m_hStatusFontDefault == nullptr)
            m_hStatusFontDefault = reinterpret_cast<HFONT>(m_statusBar.SendMessage(WM_GETFONT));
        // The bar lets go of the old font only when it has the new one.
        HFONT hOldStatus = m_fontStatus.Detach();
        m_fontStatus.Attach(nDpi == nSystem && strFace.empty()
                                ? nullptr
                                : CreateScaledFont(m_hStatusFontDefault, nSystem, nDpi, strFace.c_str()));
        m_statusBar.SendMessage(WM_SETFONT,
                                reinterpret_cast<WPARAM>(m_fontStatus.IsNull() ? m_hStatusFontDefault : m_fontStatus.GetSafeHandle()),
                                TRUE);
        if (hOldStatus != nullptr)
            ::DeleteObject(hOldStatus);
    }
    // The caption's font is the system font of 100 %, scaled (the system's own at another scale may
    // keep the width of 100 %).
    HFONT hOldProgress = m_fontProgress.Detach();
    if (nDpi != BASE_DPI || nSystem != BASE_DPI || !strFace.empty())
        m_fontProgress.Attach(CreateScaledFont(nullptr, nSystem, nDpi, strFace.c_str()));
    m_progress.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontProgress.GetSafeHandle()), TRUE);
    if (hOldProgress != nullptr)
        ::DeleteObject(hOldProgress);
    // Rich edit draws twips at the system's scale; the zoom makes up the difference.
    if (nDpi == nSystem)
        m_richLicense.SendMessage(EM_SETZOOM, 0, 0);
    else
        m_richLicense.SendMessage(EM_SETZOOM, static_cast<WPARAM>(nDpi), static_cast<LPARAM>(nSystem));
}

void CVelmoraEUT_KRT_P940Dlg::ScaleStatusBar()
{
    if (!m_statusBar.IsWindow())
        return;
    const int nThird = 2 * (PAGE_WIDTH / 3);
    const int nEdges[4] = {m_scale.Px(nThird), 0, m_scale.Px(PAGE_WIDTH - nThird), -1};
    // The minimum leaves out the bar's borders, which stay one pixel at every scale.
    const int nBorders = 2 * GetSystemMetrics(SM_CYBORDER);
    m_statusBar.SetMinHeight(m_scale.Px(STATUS_BAR_HEIGHT + nBorders) - nBorders);
    m_statusBar.SetParts(4, nEdges);
    // The bar takes its height from the minimum only when it lays itself out again.
    m_statusBar.SendMessage(WM_SIZE, 0, 0);
}

SIZE CVelmoraEUT_KRT_P940Dlg::LayoutWindowSize() const
{
    const DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
    return m_scale.WindowSize(dwStyle, dwExStyle, WindowDpi(m_hWnd));
}

void CVelmoraEUT_KRT_P940Dlg::SizeWindow()
{
    const SIZE size = LayoutWindowSize();
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVelmoraEUT_KRT_P940Dlg::MoveInsideWorkArea(int x, int y)
{
    RECT rcWindow = {};
    GetWindowRect(&rcWindow);
    int cx = rcWindow.right - rcWindow.left;
    int cy = rcWindow.bottom - rcWindow.top;
    if (!m_bmpBackground.IsNull()) {
        const SIZE size = LayoutWindowSize();
        cx = size.cx;
        cy = size.cy;
    }
    const RECT rcWork = WorkAreaOf(RECT{x, y, x + cx, y + cy});
    // Next and Exit sit at the bottom corners: the whole window stays on the screen, its top-left
    // corner first where it cannot.
    x = std::max<int>(rcWork.left, std::min<int>(x, rcWork.right - cx));
    y = std::max<int>(rcWork.top, std::min<int>(y, rcWork.bottom - cy));
    SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    RECT rcSuggested = {};
    if (lParam != 0)
        rcSuggested = *reinterpret_cast<const RECT*>(lParam);
    else
        GetWindowRect(&rcSuggested);
    // The suggested place; the size is the layout's, which may be a smaller one that fits there.
    ApplyScale(FittingDpi(LOWORD(wParam), rcSuggested));
    MoveInsideWorkArea(rcSuggested.left, rcSuggested.top);
    return 0;
}
