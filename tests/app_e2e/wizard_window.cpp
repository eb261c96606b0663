#include "tests/app_e2e/wizard_window.h"

#include <commctrl.h>

#include <vector>

#include "tests/app_e2e/wizard_process.h"

namespace {

constexpr UINT ANSWER_TIMEOUT_MS = 5000;

LRESULT Ask(HWND hWnd, UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR nResult = 0;
    if (!SendMessageTimeoutW(hWnd, nMessage, wParam, lParam, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &nResult))
        return -1;
    return static_cast<LRESULT>(nResult);
}

void SendInputs(std::vector<INPUT>& inputs)
{
    for (INPUT& input : inputs) {
        SendInput(1, &input, sizeof(INPUT));
        Sleep(15);
    }
}

}  // namespace

std::string CWizardWindow::Text(int nId) const
{
    HWND hControl = Control(nId);
    return hControl == nullptr ? std::string() : Narrow(WindowText(hControl));
}

bool CWizardWindow::Visible(int nId) const
{
    HWND hControl = Control(nId);
    return hControl != nullptr && (GetWindowLongW(hControl, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool CWizardWindow::Enabled(int nId) const
{
    HWND hControl = Control(nId);
    return hControl != nullptr && IsWindowEnabled(hControl);
}

bool CWizardWindow::Checked(int nId) const
{
    HWND hControl = Control(nId);
    return hControl != nullptr && Ask(hControl, BM_GETCHECK) == BST_CHECKED;
}

RECT CWizardWindow::Place(int nId) const
{
    RECT rect = {};
    HWND hControl = Control(nId);
    if (hControl == nullptr)
        return rect;
    GetWindowRect(hControl, &rect);
    MapWindowPoints(HWND_DESKTOP, m_hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool CWizardWindow::IsAt(int nId, const WizardUi::Place& place) const
{
    RECT rect = Place(nId);
    return rect.left == place.x && rect.top == place.y && rect.right - rect.left == place.cx &&
           rect.bottom - rect.top == place.cy;
}

SIZE CWizardWindow::WindowSize() const
{
    RECT rect = {};
    GetWindowRect(m_hDialog, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

POINT CWizardWindow::ClientOrigin() const
{
    POINT origin = {0, 0};
    ClientToScreen(m_hDialog, &origin);
    return origin;
}

HWND CWizardWindow::StatusBar() const
{
    return FindWindowExW(m_hDialog, nullptr, STATUSCLASSNAMEW, nullptr);
}

std::string CWizardWindow::StatusPart(int nPart) const
{
    HWND hBar = StatusBar();
    if (hBar == nullptr)
        return "<no status bar>";
    const LRESULT nLengthInfo = Ask(hBar, SB_GETTEXTLENGTHW, nPart);
    if (nLengthInfo < 0)
        return "<no answer>";
    const size_t nLength = LOWORD(nLengthInfo);
    HANDLE hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, m_dwProcessId);
    if (hProcess == nullptr)
        return "<no access>";
    const SIZE_T nBytes = (nLength + 1) * sizeof(wchar_t);
    void* pRemote = VirtualAllocEx(hProcess, nullptr, nBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::wstring strText(nLength + 1, L'\0');
    if (pRemote != nullptr) {
        SIZE_T nRead = 0;
        if (Ask(hBar, SB_GETTEXTW, nPart, reinterpret_cast<LPARAM>(pRemote)) >= 0)
            ReadProcessMemory(hProcess, pRemote, &strText[0], nBytes, &nRead);
        VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    }
    CloseHandle(hProcess);
    strText.resize(wcsnlen(strText.c_str(), nLength));
    return Narrow(strText);
}

bool CWizardWindow::BringToFront() const
{
    if (GetForegroundWindow() == m_hDialog)
        return true;
    SetForegroundWindow(m_hDialog);
    for (int i = 0; i < 50 && GetForegroundWindow() != m_hDialog; ++i)
        Sleep(10);
    return GetForegroundWindow() == m_hDialog;
}

void CWizardWindow::ClickWindow(HWND hWnd) const
{
    RECT rect = {};
    GetWindowRect(hWnd, &rect);
    BringToFront();
    ClickScreenPoint(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void CWizardWindow::Click(int nId) const
{
    ClickWindow(Control(nId));
}

void CWizardWindow::PressKey(WORD nKey, WORD nModifier) const
{
    BringToFront();
    PressKeyHere(nKey, nModifier);
}

void CWizardWindow::PressKeyHere(WORD nKey, WORD nModifier) const
{
    std::vector<INPUT> inputs;
    auto key = [&inputs](WORD nVk, bool bUp) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = nVk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(nVk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (nModifier != 0)
        key(nModifier, false);
    key(nKey, false);
    key(nKey, true);
    if (nModifier != 0)
        key(nModifier, true);
    SendInputs(inputs);
}

double CWizardWindow::AnswerTimeMs(UINT nTimeoutMs) const
{
    LARGE_INTEGER nFrequency, nStart, nEnd;
    QueryPerformanceFrequency(&nFrequency);
    QueryPerformanceCounter(&nStart);
    DWORD_PTR nResult = 0;
    const bool bAnswered = SendMessageTimeoutW(m_hDialog, WM_NULL, 0, 0, SMTO_NORMAL, nTimeoutMs, &nResult) != 0;
    QueryPerformanceCounter(&nEnd);
    if (!bAnswered)
        return -1.0;
    return static_cast<double>(nEnd.QuadPart - nStart.QuadPart) * 1000.0 / static_cast<double>(nFrequency.QuadPart);
}

void ClickScreenPoint(POINT point)
{
    const int nWidth = GetSystemMetrics(SM_CXSCREEN);
    const int nHeight = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = (point.x * 65536 + nWidth / 2) / nWidth;
    inputs[0].mi.dy = (point.y * 65536 + nHeight / 2) / nHeight;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInputs(inputs);
    Sleep(30);
}

int CWizardWindow::FocusedId() const
{
    GUITHREADINFO info = {sizeof(info)};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_hDialog, nullptr), &info) || info.hwndFocus == nullptr ||
        GetParent(info.hwndFocus) != m_hDialog)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}
