#include "serial/base_comm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "download/download_messages.h"
#include "download/engine_state.h"
#include "download/run_stop.h"
#include "platform/clock.h"
#include "platform/os_platform_id.h"
#include "platform/process_id.h"

CBaseComm* g_pComm = nullptr;
std::atomic<uint8_t> DetectedPort{0};

CBaseComm::CBaseComm()
{
    m_byPlatformId = Platform::GetOsPlatformId();
}

CBaseComm::~CBaseComm()
{
    // Discard has closed it; on a receive thread that outlived that, the device record and the events are
    // what is left.
    Close();
    Platform::CloseEventObject(m_osRead.hEvent);
    Platform::CloseEventObject(m_osWrite.hEvent);
    Platform::CloseEventObject(m_hReceiveEvent);
}

void CBaseComm::SetPortParams(uint8_t nPort, uint32_t dwBaudRate, uint8_t byByteSize, uint8_t byStopBits,
                              uint8_t byParity)
{
    m_nPort = nPort;
    m_dwBaudRate = dwBaudRate;
    m_byByteSize = byByteSize;
    m_byStopBits = byStopBits;
    m_byParity = byParity;
}

void CBaseComm::CreateReceiveEvent(int n)
{
    // Named events are shared by every process of the session: without the process id, a second flasher
    // on the same PC would be woken by this one's replies and take them for its own.
    std::snprintf(m_szReceiveEventName, sizeof(m_szReceiveEventName), "RECEIVE_%x_EVENT_%u", static_cast<unsigned>(n),
                  static_cast<unsigned>(Platform::CurrentProcessId()));
    Platform::CloseEventObject(m_hReceiveEvent);
    m_hReceiveEvent = Platform::CreateEventObject(m_szReceiveEventName, true, false);
}

bool CBaseComm::CreateIoEvents()
{
    m_osRead = OverlappedRecord{};
    m_osWrite = OverlappedRecord{};
    m_osRead.hEvent = Platform::CreateEventObject(nullptr, true, false);
    if (m_osRead.hEvent == nullptr) {
        return false;
    }
    m_osWrite.hEvent = Platform::CreateEventObject(nullptr, true, false);
    if (m_osWrite.hEvent == nullptr) {
        Platform::CloseEventObject(m_osRead.hEvent);
        m_osRead.hEvent = nullptr;
        return false;
    }
    return true;
}

void CBaseComm::FormatDevicePath(uint8_t nPort, char* pszPath, unsigned nSize)
{
    if (nPort <= LAST_COM_PORT) {
        std::snprintf(pszPath, nSize, "\\\\.\\COM%d", nPort);
    } else {
        std::snprintf(pszPath, nSize, "\\\\.\\TELNET");
    }
}

bool CBaseComm::Open()
{
    char szPath[64];
    FormatDevicePath(m_nPort, szPath, sizeof(szPath));
    m_hComm = Platform::OpenSerialDevice(szPath);
    if (m_hComm == nullptr) {
        return false;
    }
    if (!ApplyPortSettings()) {
        m_bConnected = 0;
        Platform::CloseSerialDevice(m_hComm);
        m_hComm = nullptr;
        return false;
    }
    m_bConnected = 1;
    ++m_nUsers;
    m_hReceiveThread = Platform::StartThread(&CBaseComm::ReceiveThread, this, Platform::THREAD_PRIO_ABOVE_NORMAL);
    m_bThreadStartFailed = m_hReceiveThread == nullptr;
    if (m_hReceiveThread == nullptr) {
        --m_nUsers;
        // Nobody would read the replies: the port is of no use.
        m_bConnected = 0;
        Platform::CloseSerialDevice(m_hComm);
        m_hComm = nullptr;
        return false;
    }
    return true;
}

bool CBaseComm::ApplyPortSettings()
{
    Platform::SerialSettings settings;
    settings.dwBaudRate = m_dwBaudRate;
    settings.byByteSize = m_byByteSize;
    settings.byParity = m_byParity;
    settings.byStopBits = m_byStopBits;
    return Platform::ConfigureSerialDevice(m_hComm, settings);
}

bool CBaseComm::Write(const uint8_t* pData, uint32_t nLength)
{
    if (!m_bConnected) {
        return false;
    }
    if (!Platform::WriteSerial(m_hComm, pData, nLength, m_osWrite.hEvent)) {
        return false;
    }
    Platform::FlushSerial(m_hComm);
    return true;
}

int32_t CBaseComm::ReadAvailable(uint8_t* pBuffer, uint32_t nLimit)
{
    Platform::SleepMs(5);
    uint32_t n = Platform::QueuedSerialBytes(m_hComm);
    if (n > nLimit) {
        n = nLimit;
    }
    if (n == 0) {
        return 0;
    }
    const uint32_t nRead = Platform::ReadSerial(m_hComm, pBuffer, n, m_osRead.hEvent);
    m_nRxLength = static_cast<int32_t>(nRead);
    return static_cast<int32_t>(nRead);
}

unsigned CBaseComm::ReceiveThread(void* pParam)
{
    auto* pComm = static_cast<CBaseComm*>(pParam);
    const unsigned nResult = pComm->RunReceiveLoop();
    pComm->LetGo();
    return nResult;
}

void CBaseComm::LetGo()
{
    if (m_nUsers.fetch_sub(1) != 1) {
        return;
    }
    if (m_bReceiveThreadStuck && !Platform::IsCurrentThread(m_hReceiveThread)) {
        // The thread that closing gave up on has ended its loop and let go of the object since; it only
        // returns now, so it is joined, not left behind. The mark stays: the device was let go, and no
        // call may reach its handle again (the system may have given the number to another object).
        Platform::JoinThread(m_hReceiveThread, Platform::WAIT_INFINITE, nullptr);
        Platform::ReleaseThread(m_hReceiveThread);
        m_hReceiveThread = nullptr;
    }
    delete this;
}

// False when the thread is still running after RECEIVE_THREAD_STOP_MS. It is never killed: it may hold
// a lock or be inside the driver.
bool CBaseComm::StopReceiveThread()
{
    if (m_hReceiveThread == nullptr) {
        return true;
    }
    if (Platform::IsCurrentThread(m_hReceiveThread)) {  // the thread deletes an object left to it
        Platform::ReleaseThread(m_hReceiveThread);
        m_hReceiveThread = nullptr;
        return true;
    }
    if (m_bReceiveThreadStuck) {
        return false;
    }
    const int64_t nDeadline = Platform::MonotonicMs() + Platform::ScaledMs(RECEIVE_THREAD_STOP_MS);
    for (;;) {
        Platform::CancelSerialIo(m_hComm);
        const int64_t nLeft = nDeadline - Platform::MonotonicMs();
        if (nLeft <= 0) {
            m_bReceiveThreadStuck = true;
            return false;
        }
        const int64_t nSlice = std::min<int64_t>(nLeft, Platform::ScaledMs(RECEIVE_CANCEL_REPEAT_MS));
        if (Platform::JoinThread(m_hReceiveThread, static_cast<uint32_t>(nSlice), nullptr)) {
            break;
        }
    }
    Platform::ReleaseThread(m_hReceiveThread);
    m_hReceiveThread = nullptr;
    return true;
}

bool CBaseComm::ClosePort()
{
    m_bConnected = 0;
    if (m_hComm == nullptr || m_bReceiveThreadStuck) {
        return false;
    }
    // A device that went away may refuse any of these; none of them may keep the port held.
    bool bOk = Platform::CancelSerialWait(m_hComm);
    bOk = Platform::ClearSerialDtr(m_hComm) && bOk;
    bOk = Platform::PurgeSerial(m_hComm) && bOk;
    return ReleasePortHandle() && bOk;
}

bool CBaseComm::ReleasePortHandle()
{
    m_bConnected = 0;
    if (m_hComm != nullptr && !m_bReceiveThreadStuck) {
        Platform::CancelSerialWait(m_hComm);
    }
    if (!StopReceiveThread()) {
        // The thread is still inside a call on the device: the port is let go, the record stays for it.
        return Platform::ShutSerialDevice(m_hComm);
    }
    if (m_hComm == nullptr) {
        return true;
    }
    const bool bClosed = Platform::CloseSerialDevice(m_hComm);
    m_hComm = nullptr;
    return bClosed;
}

bool CBaseComm::Close()
{
    if (m_bConnected) {
        ClosePort();
    }
    // A handle that a refused ClosePort left held goes all the same.
    ReleasePortHandle();
    // The receive thread may be inside a read that uses the read event: the events go once it has ended,
    // or with the object, which a thread that is still running deletes when it ends.
    if (!StopReceiveThread()) {
        return true;
    }
    Platform::CloseEventObject(m_osRead.hEvent);
    Platform::CloseEventObject(m_osWrite.hEvent);
    m_osRead.hEvent = nullptr;
    m_osWrite.hEvent = nullptr;
    return true;
}

void CBaseComm::Discard(CBaseComm*& pComm)
{
    if (pComm == nullptr) {
        return;
    }
    pComm->Close();
    pComm->LetGo();
    pComm = nullptr;
}

bool InitComPort()
{
    CBaseComm::Discard(g_pComm);
    g_pComm = new CBaseComm();
    g_pComm->CreateReceiveEvent(0);
    if (g_pComm->m_hReceiveEvent == nullptr) {
        FormatMessageText("%s", MSG_NO_REPLY_EVENT);
        return false;
    }
    g_pComm->SetPortParams(DetectedPort, 115200, 8, 0, 0);
    Platform::SleepMs(100, RunStopEvent());
    if (!g_pComm->CreateIoEvents()) {
        FormatMessageText("%s", MSG_CANNOT_CREATE_PORT);
        return false;
    }
    Platform::SleepMs(100, RunStopEvent());
    if (!g_pComm->Open()) {
        FormatMessageText("%s", g_pComm->m_hComm == nullptr && g_pComm->ThreadStartFailed() ? MSG_NO_RECEIVE_THREAD
                                                                                           : MSG_CANNOT_OPEN_PORT);
        return false;
    }
    Platform::SleepMs(100, RunStopEvent());
    g_pComm->SetFramePrefix(false);
    return true;
}
