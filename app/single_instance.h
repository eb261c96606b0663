#pragma once
// One wizard per user session: two would stage the same image file and partition files.
#include <windows.h>

constexpr const char* SINGLE_INSTANCE_MUTEX = "Local\\Velmora.KRT-P940.SwUpgrade";

class CSingleInstance {
public:
    CSingleInstance() = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this is the only instance (it keeps the claim until destroyed).
    bool Claim(const char* pszMutexName = SINGLE_INSTANCE_MUTEX);

private:
    HANDLE m_hMutex = nullptr;
};

// Brings the window of the running wizard (found by its title) to the front; false if there is none.
bool ActivateWindowByTitle(const char* pszTitle);
