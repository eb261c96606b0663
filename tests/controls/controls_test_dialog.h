#pragma once
// A dialog holding one of each control under test, laid out in pixels, with a plain grey
// background so that what a control leaves uncovered shows.
#include <map>

#include "controls/skin_button.h"
#include "controls/text_progress_ctrl.h"
#include "framework/dialog.h"

namespace ControlsTest {

const UINT IDD_CONTROLS = 300;
const int IDC_PUSH = 1100;
const int IDC_CHECK = 1101;
const int IDC_RADIO1 = 1102;
const int IDC_RADIO4 = 1105;
const int IDC_AFTER = 1106;
const int IDC_SPARE = 1107;
const int IDC_PROGRESS = 1110;
const int IDC_PROGRESS2 = 1111;

const WORD IDB_NORMAL = 401, IDB_HOVER = 402, IDB_PRESSED = 403, IDB_DISABLED = 404, IDB_CHECKED_DISABLED = 405,
           IDB_FOCUS = 406, IDB_MASK = 407, IDB_EMPTY_MASK = 408, IDB_HALVES = 409, IDB_TILE = 410;
const COLORREF CLR_NORMAL = RGB(255, 0, 0), CLR_HOVER = RGB(0, 255, 0), CLR_PRESSED = RGB(0, 0, 255),
               CLR_DISABLED = RGB(255, 255, 0), CLR_CHECKED_DISABLED = RGB(255, 0, 255), CLR_FOCUS = RGB(0, 255, 255),
               CLR_HALF_LEFT = RGB(0, 0, 128), CLR_HALF_RIGHT = RGB(128, 128, 0), CLR_TILE = RGB(128, 0, 0),
               CLR_TILE_CORNER = RGB(255, 255, 255), CLR_BACKGROUND = RGB(128, 128, 128);
const int BUTTON_CX = 132;
const int BUTTON_CY = 46;

// Counts the paint requests a progress bar handles.
class CCountingProgress : public CTextProgressCtrl {
public:
    int m_nPaints = 0;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == WM_PAINT)
            ++m_nPaints;
        return CTextProgressCtrl::WindowProc(nMsg, wParam, lParam);
    }
};

class CControlsDlg : public CDialog {
public:
    CControlsDlg() : CDialog(IDD_CONTROLS) {}

    CSkinButton m_buttons[8];  // IDC_PUSH .. IDC_SPARE
    CCountingProgress m_progress;
    CCountingProgress m_progress2;
    std::map<int, int> m_clicks;

    CSkinButton& Button(int nId) { return m_buttons[nId - IDC_PUSH]; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    std::span<const MessageEntry> GetMessageTable() const override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnCommandMessage(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC& dc);
};

}  // namespace ControlsTest
