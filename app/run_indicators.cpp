#include "app/run_indicators.h"

#include <shobjidl.h>

CRunIndicators::~CRunIndicators()
{
    Clear();
    if (m_pTaskbar != nullptr) {
        m_pTaskbar->Release();
        m_pTaskbar = nullptr;
    }
}

void CRunIndicators::UseTaskbar(ITaskbarList3* pTaskbar)
{
    if (pTaskbar != nullptr) {
        pTaskbar->AddRef();
    }
    if (m_pTaskbar != nullptr) {
        m_pTaskbar->Release();
    }
    m_pTaskbar = pTaskbar;
}

void CRunIndicators::Begin(HWND hWnd)
{
    m_hWnd = hWnd;
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    ShutdownBlockReasonCreate(m_hWnd, L"A software download to the KRT-P940 is running. Stopping it now leaves "
                                      L"the device without working software.");
    m_bAwake = true;
    if (m_pTaskbar == nullptr) {
        void* pInterface = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       &pInterface))) {
            m_pTaskbar = static_cast<ITaskbarList3*>(pInterface);
            if (FAILED(m_pTaskbar->HrInit())) {
                m_pTaskbar->Release();
                m_pTaskbar = nullptr;
            }
        }
    }
    if (m_pTaskbar != nullptr) {
        m_pTaskbar->SetProgressState(m_hWnd, TBPF_NORMAL);
        m_pTaskbar->SetProgressValue(m_hWnd, 0, 100);
        m_nShownPercent = 0;
    }
}

void CRunIndicators::Progress(int nPercent)
{
    if (m_pTaskbar != nullptr && m_hWnd != nullptr) {
        const int nDone = nPercent < 0 ? 0 : (nPercent > 100 ? 100 : nPercent);
        if (nDone != m_nShownPercent) {
            m_nShownPercent = nDone;
            m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(nDone), 100);
        }
    }
}

void CRunIndicators::Failed()
{
    AllowSleep();
    if (m_pTaskbar != nullptr && m_hWnd != nullptr) {
        // The whole button turns red, wherever the run stopped.
        Progress(100);
        m_pTaskbar->SetProgressState(m_hWnd, TBPF_ERROR);
    }
}

void CRunIndicators::Clear()
{
    AllowSleep();
    if (m_pTaskbar != nullptr && m_hWnd != nullptr && IsWindow(m_hWnd)) {
        m_pTaskbar->SetProgressState(m_hWnd, TBPF_NOPROGRESS);
    }
}

void CRunIndicators::AllowSleep()
{
    if (m_bAwake) {
        SetThreadExecutionState(ES_CONTINUOUS);
        if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
            ShutdownBlockReasonDestroy(m_hWnd);
        }
        m_bAwake = false;
    }
}
