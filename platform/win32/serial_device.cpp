// COM ports with overlapped I/O. Reads and writes each have their own overlapped record, so they can
// be in progress at the same time.
#include "platform/serial_device.h"

#include <windows.h>

#include <atomic>

#include "platform/common/serial_faults.h"

namespace Platform {

struct SerialDevice {
    HANDLE hComm = INVALID_HANDLE_VALUE;
    std::atomic<bool> bCancelled{false};
    bool bShut = false;  // hComm closed by ShutSerialDevice; the record stays for a thread still using it
    SerialFaults faults;
};

namespace {
constexpr DWORD QUEUE_SIZE = 4096;
constexpr DWORD PURGE_ALL = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// The port runs with fAbortOnError: after a line error or a break every read, write and wait fails with
// ERROR_OPERATION_ABORTED until ClearCommError has been called. Clears it; true when that was the reason.
bool ClearLineError(HANDLE hComm, DWORD dwError, COMSTAT* pStat = nullptr)
{
    if (dwError != ERROR_OPERATION_ABORTED) {
        return false;
    }
    DWORD dwErrors = 0;
    COMSTAT stat{};
    ClearCommError(hComm, &dwErrors, pStat != nullptr ? pStat : &stat);
    return true;
}
}  // namespace

SerialHandle OpenSerialDevice(const std::string& strName)
{
    HANDLE h = CreateFileA(strName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    auto* pDev = new SerialDevice;
    pDev->hComm = h;
    pDev->faults = LookupSerialFaults(strName);
    return pDev;
}

bool ConfigureSerialDevice(SerialHandle hDev, const SerialSettings& settings)
{
    if (hDev == nullptr) {
        return false;
    }
    HANDLE h = hDev->hComm;
    SetCommMask(h, EV_RXCHAR);
    SetupComm(h, QUEUE_SIZE, QUEUE_SIZE);
    PurgeComm(h, PURGE_ALL);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 50;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 1000;
    SetCommTimeouts(h, &timeouts);

    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    GetCommState(h, &dcb);
    dcb.BaudRate = settings.dwBaudRate;
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = 1;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = settings.byByteSize;
    dcb.Parity = settings.byParity;
    dcb.StopBits = settings.byStopBits;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return SetCommState(h, &dcb) != FALSE;
}

bool WatchSerialEvents(SerialHandle hDev)
{
    return hDev != nullptr && SetCommMask(hDev->hComm, EV_RXCHAR | EV_RXFLAG | EV_BREAK) != FALSE;
}

SerialWaitResult WaitSerialData(SerialHandle hDev, EventHandle hWaitEvent)
{
    if (hDev == nullptr) {
        return SERIAL_WAIT_GONE;
    }
    if (hDev->bCancelled.load()) {
        return SERIAL_WAIT_CLOSED;
    }
    OVERLAPPED ov{};
    ov.hEvent = hWaitEvent;
    ResetEvent(hWaitEvent);
    DWORD dwMask = 0;
    BOOL bOk = WaitCommEvent(hDev->hComm, &dwMask, &ov);
    DWORD dwError = bOk ? ERROR_SUCCESS : GetLastError();
    if (!bOk && dwError == ERROR_IO_PENDING) {
        DWORD dwDummy = 0;
        bOk = GetOverlappedResult(hDev->hComm, &ov, &dwDummy, TRUE);
        dwError = bOk ? ERROR_SUCCESS : GetLastError();
    }
    if (hDev->bCancelled.load()) {
        return SERIAL_WAIT_CLOSED;
    }
    if (!bOk) {
        // A line error (or Wine, which ends every wait on a pty this way while no byte is queued): cleared,
        // and whatever arrived meanwhile is read at once.
        COMSTAT stat{};
        if (!ClearLineError(hDev->hComm, dwError, &stat)) {
            return SERIAL_WAIT_GONE;
        }
        return stat.cbInQue > 0 ? SERIAL_WAIT_DATA : SERIAL_WAIT_AGAIN;
    }
    return (dwMask & EV_RXCHAR) ? SERIAL_WAIT_DATA : SERIAL_WAIT_AGAIN;
}

bool CancelSerialWait(SerialHandle hDev)
{
    if (hDev == nullptr || hDev->faults.bCancelWaitFails) {
        return false;
    }
    hDev->bCancelled.store(true);
    return SetCommMask(hDev->hComm, 0) != FALSE;
}

bool CancelSerialIo(SerialHandle hDev)
{
    if (hDev == nullptr || hDev->faults.bCancelIoFails) {
        return false;
    }
    hDev->bCancelled.store(true);
    // Nothing pending is no failure: the waiting thread sees the flag before it waits again.
    return CancelIoEx(hDev->hComm, nullptr) != FALSE || GetLastError() == ERROR_NOT_FOUND;
}

uint32_t QueuedSerialBytes(SerialHandle hDev)
{
    if (hDev == nullptr || hDev->bCancelled.load()) {
        return 0;
    }
    DWORD dwErrors = 0;
    COMSTAT stat{};
    if (!ClearCommError(hDev->hComm, &dwErrors, &stat)) {
        return 0;
    }
    return stat.cbInQue;
}

uint32_t ReadSerial(SerialHandle hDev, uint8_t* pBuffer, uint32_t nLimit, EventHandle hIoEvent)
{
    if (hDev == nullptr) {
        return 0;
    }
    OVERLAPPED ov{};
    ov.hEvent = hIoEvent;
    DWORD dwRead = 0;
    BOOL bOk = ReadFile(hDev->hComm, pBuffer, nLimit, &dwRead, &ov);
    // A line error refuses the read until it is cleared; the bytes are still queued, so read them again.
    if (!bOk && ClearLineError(hDev->hComm, GetLastError())) {
        ov = OVERLAPPED{};
        ov.hEvent = hIoEvent;
        bOk = ReadFile(hDev->hComm, pBuffer, nLimit, &dwRead, &ov);
    }
    if (bOk) {
        return dwRead;
    }
    DWORD dwErrors = 0;
    COMSTAT stat{};
    if (GetLastError() != ERROR_IO_PENDING) {
        ClearCommError(hDev->hComm, &dwErrors, &stat);
        return 0;
    }
    for (;;) {
        if (GetOverlappedResult(hDev->hComm, &ov, &dwRead, TRUE)) {
            return dwRead;
        }
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            ClearCommError(hDev->hComm, &dwErrors, &stat);
            return dwRead;
        }
    }
}

bool WriteSerial(SerialHandle hDev, const uint8_t* pData, uint32_t nLength, EventHandle hIoEvent)
{
    if (hDev == nullptr) {
        return false;
    }
    OVERLAPPED ov{};
    ov.hEvent = hIoEvent;
    DWORD dwWritten = 0;
    DWORD dwErrors = 0;
    COMSTAT stat{};
    BOOL bOk = WriteFile(hDev->hComm, pData, nLength, &dwWritten, &ov);
    // A line error on the receiving side also refuses writes until it is cleared: it must not cost the
    // command an attempt.
    if (!bOk && ClearLineError(hDev->hComm, GetLastError())) {
        ov = OVERLAPPED{};
        ov.hEvent = hIoEvent;
        bOk = WriteFile(hDev->hComm, pData, nLength, &dwWritten, &ov);
    }
    if (bOk) {
        return true;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        ClearCommError(hDev->hComm, &dwErrors, &stat);
        return false;
    }
    for (;;) {
        if (GetOverlappedResult(hDev->hComm, &ov, &dwWritten, TRUE)) {
            return true;
        }
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            ClearCommError(hDev->hComm, &dwErrors, &stat);
            return true;
        }
    }
}

bool FlushSerial(SerialHandle hDev)
{
    return hDev != nullptr && FlushFileBuffers(hDev->hComm) != FALSE;
}

bool PurgeSerial(SerialHandle hDev)
{
    return hDev != nullptr && PurgeComm(hDev->hComm, PURGE_ALL) != FALSE;
}

bool ClearSerialDtr(SerialHandle hDev)
{
    return hDev != nullptr && EscapeCommFunction(hDev->hComm, CLRDTR) != FALSE;
}

bool ShutSerialDevice(SerialHandle hDev)
{
    if (hDev == nullptr) {
        return false;
    }
    if (hDev->bShut) {
        return true;
    }
    hDev->bShut = true;
    hDev->bCancelled.store(true);
    return CloseHandle(hDev->hComm) != FALSE;
}

bool CloseSerialDevice(SerialHandle hDev)
{
    if (hDev == nullptr) {
        return false;
    }
    const bool bOk = ShutSerialDevice(hDev);
    delete hDev;
    return bOk;
}

}  // namespace Platform
