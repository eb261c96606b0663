#pragma once
// What the rest of the system should know while a download runs: the computer must not go to sleep,
// a shutdown names the reason it is held up, and the task-bar button shows the progress. All are best
// effort: without a task-bar interface (an old system) only the sleep guard works.
#include <windows.h>

struct ITaskbarList3;

class CRunIndicators {
public:
    CRunIndicators() = default;
    ~CRunIndicators();
    CRunIndicators(const CRunIndicators&) = delete;
    CRunIndicators& operator=(const CRunIndicators&) = delete;

    // A run starts: keep the system awake, show an empty normal progress on the button of hWnd.
    void Begin(HWND hWnd);
    void Progress(int nPercent);
    // The run failed: the button shows the error state; sleeping is allowed again.
    void Failed();
    // Success, restart or the end of the program: no progress on the button, sleeping allowed.
    void Clear();

    bool IsKeepingAwake() const { return m_bAwake; }
    // Shows the progress through this task-bar interface instead of the shell's (held with a reference).
    void UseTaskbar(ITaskbarList3* pTaskbar);

private:
    void AllowSleep();

    HWND m_hWnd = nullptr;
    ITaskbarList3* m_pTaskbar = nullptr;
    // What the task-bar button shows; a report that does not change it costs no call to the shell.
    int m_nShownPercent = -1;
    bool m_bAwake = false;
};
