#pragma once
// One run of the wizard driven from outside: started with a temporary folder of its own, walked through
// its pages by clicks, watched with time limits, photographed. Used by the end-to-end tests and by the
// wizard benchmark.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app_e2e/screen_image.h"
#include "tests/app_e2e/wizard_process.h"
#include "tests/app_e2e/wizard_window.h"

class CWizardSession {
public:
    CWizardSession();
    ~CWizardSession();

    // KRT_WIZARD_EXE, the wizard's path; KRT_E2E_SHOTS, the folder for screenshots (optional).
    const std::wstring& WizardExe() const { return m_strExe; }
    // The wizard's own temporary folder (TEMP and TMP point at it), ending in a backslash.
    const std::string& TempFolder() const { return m_strTemp; }
    // KRT_TIME_SCALE as this process got it; the wizard gets the same.
    double TimeScale() const { return m_dTimeScale; }
    DWORD Scaled(int nMs) const { return static_cast<DWORD>(nMs * m_dTimeScale + 0.5); }

    // The display scale the wizard is expected at (dots per inch, 96 = 100 %): its pages and faces are
    // that scale's artwork, its places today's times the scale. Screenshots get the prefix.
    void SetScale(int nDpi, const std::string& strShotPrefix = "");
    int Dpi() const { return m_nDpi; }
    int Px(int nLogical) const { return MulDiv(nLogical, m_nDpi, 96); }

    bool Start();
    CDriverProcess& Process() { return m_process; }
    const CWizardWindow& Window() const { return m_window; }

    // Polls pCondition every 20 ms until it holds or nTimeoutMs have passed; true when it held.
    static bool WaitUntil(const std::function<bool()>& condition, DWORD nTimeoutMs);
    // The page whose background the screen shows now (0 to 6), -1 if none matches well.
    int ShownPage(double* pdShare = nullptr) const;
    // Waits until the page is shown and its controls answer (the page change pauses the wizard).
    bool WaitForPage(int nPage, DWORD nTimeoutMs);
    // The filled share (0..1) of the progress bar as drawn: its position is kept by the control itself and
    // only shows in pixels. Reads the bar's top row up to the first pixel of the colour at its right end,
    // so a full bar reads as empty.
    double ProgressFill() const;
    // The fill once it is within dTolerance of dExpected, or the last one read: what the window drew
    // reaches the X screen a little later on a busy machine.
    double ProgressFillNear(double dExpected, double dTolerance, DWORD nTimeoutMs = 3000);
    // How well the face of a control matches a bitmap of the wizard (of the scale's set), outside the box
    // where its words are drawn (WizardUi::WORDS_BOXES).
    double FaceMatch(int nId, int nBitmap) const;
    // The share of that box that differs from the bitmap: the words drawn over the picture.
    double WordsShare(int nId, int nBitmap) const;
    // The control as the screen shows it now.
    CScreenImage CaptureControl(int nId) const;
    // The message box of the wizard (a dialog other than the main one), or nullptr.
    HWND MessageBoxWindow() const;
    std::string MessageBoxText(HWND hBox) const;
    void ClickMessageBoxButton(HWND hBox, int nButtonId) const;

    // Saves the wizard's window as <shots>/<name>.bmp; ScreenshotOf adds a window in front of it.
    void Screenshot(const std::string& strName) const;
    void ScreenshotOf(HWND hWnd, const std::string& strName) const;

    // Clicks through pages 0 to 4 (accepting licence and notice) up to page nPage (at most 5); the device
    // port must be present to get past page 4. Returns an empty string or what went wrong.
    // fnOnPage runs on every page reached, before the walk goes on.
    std::string WalkToPage(int nPage, bool bScreenshots = false, const std::function<void(int nPage)>& fnOnPage = {});

private:
    // The box of a picture's words at the session's scale (empty for a picture without words).
    RECT WordsRect(int nBitmap) const;

    std::wstring m_strExe;
    std::wstring m_strShots;
    std::string m_strTemp;
    double m_dTimeScale = 1.0;
    int m_nDpi = 96;
    std::string m_strShotPrefix;
    CDriverProcess m_process;
    CWizardWindow m_window;
    mutable std::vector<CScreenImage> m_pageBitmaps;
};
