#pragma once
// CTextProgressCtrl: a progress bar that paints itself: a filled bar and, centred across the whole
// control, a caption in two colours that change at the bar's edge. The caption is the control's
// text when it has one (WM_SETTEXT), else the percentage. Range and position are kept here only;
// the common control underneath never sees them.
#include <string>

#include "framework/progress_ctrl.h"

class CTextProgressCtrl : public CProgressCtrl {
public:
    CTextProgressCtrl();

    // Stores the range; nothing is repainted.
    void SetRange(int nLower, int nUpper)
    {
        m_nMin = nLower;
        m_nMax = nUpper;
    }
    // The previous position, or -1 without a window (then nothing changes). Repaints at once when
    // the bar's width in pixels changes.
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    // Paints at once what a caption change left unpainted (UpdateWindow, skipped when there is none).
    // During a download every report waits for the dialog: one that changed nothing costs no call
    // into the window system.
    void PaintChanges();

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    // The done part of the range, 0 for an empty range or a position below it; may exceed 1.
    double Fraction() const;
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam) const;
    void OnPaint();

    int m_nPos = 0;
    int m_nMax = 100;
    int m_nMin = 0;
    std::wstring m_strCaption;
    int m_bShowText = 1;
    int m_nBarWidth = -1;
    bool m_bCaptionInWindow = false;  // the window's own text is the caption (set through WM_SETTEXT)
    bool m_bPaintPending = false;
    HFONT m_hFont = nullptr;  // the caption's (WM_SETFONT; not owned); none: the context's own
    COLORREF m_clrBar;
    COLORREF m_clrTrack;
    COLORREF m_clrTextOverTrack;
    COLORREF m_clrTextOverBar;
};
