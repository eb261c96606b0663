#pragma once
// The serial device under the port object: a COM port on Windows, a tty or pty on POSIX.
// What the port logic needs of it and nothing more.
#include <cstdint>
#include <string>

#include "platform/named_event.h"

namespace Platform {

using SerialHandle = struct SerialDevice*;

struct SerialSettings {
    uint32_t dwBaudRate = 115200;
    uint8_t byByteSize = 8;
    uint8_t byParity = 0;    // 0 = none
    uint8_t byStopBits = 0;  // 0 = one stop bit
};

enum SerialWaitResult {
    SERIAL_WAIT_DATA = 0,     // bytes are queued (or may be: read the count)
    SERIAL_WAIT_AGAIN = 1,    // the wait ended without data and the port is still usable; wait again
    SERIAL_WAIT_CLOSED = 2,   // CancelSerialWait was called: the port is being closed
    SERIAL_WAIT_GONE = 3,     // the device went away or the wait failed for good
};

// Opens the device for exclusive use. On Windows the name is a device path such as "\\.\COM5";
// on POSIX "\\.\COMn" is looked up in the serial-port map and any other name is a path.
// Null on failure.
SerialHandle OpenSerialDevice(const std::string& strName);
// Line settings: the given speed and framing, DTR and RTS inactive, no hardware or software handshake,
// raw bytes. Also sets 4096-byte queues where the system has them and purges both directions.
bool ConfigureSerialDevice(SerialHandle hDev, const SerialSettings& settings);
// Asks to be woken for received bytes, flag characters and breaks (done by the receiving thread).
bool WatchSerialEvents(SerialHandle hDev);
// Blocks until received bytes are queued, the port is being closed, or the device is gone.
// hWaitEvent is the waiting thread's own event (used for the overlapped wait on Windows).
SerialWaitResult WaitSerialData(SerialHandle hDev, EventHandle hWaitEvent);
// Ends a pending WaitSerialData with SERIAL_WAIT_CLOSED, now and for every later call.
bool CancelSerialWait(SerialHandle hDev);
// The same from any thread by cancelling the I/O in progress on the device, for a driver that fails
// CancelSerialWait or ignores it. False when the cancel failed.
bool CancelSerialIo(SerialHandle hDev);
// Bytes received and not yet read; 0 on error and once the device is being closed.
uint32_t QueuedSerialBytes(SerialHandle hDev);
// Reads up to nLimit bytes, waiting for the transfer to complete; returns the count (0 on error).
// hIoEvent is the event of the reader's overlapped record. A read and a write may run at the same time.
uint32_t ReadSerial(SerialHandle hDev, uint8_t* pBuffer, uint32_t nLimit, EventHandle hIoEvent);
// Writes all bytes, waiting for the transfer; false when the write failed at once.
bool WriteSerial(SerialHandle hDev, const uint8_t* pData, uint32_t nLength, EventHandle hIoEvent);
// Returns when the written bytes have left.
bool FlushSerial(SerialHandle hDev);
// Drops queued bytes in both directions.
bool PurgeSerial(SerialHandle hDev);
// Drops DTR.
bool ClearSerialDtr(SerialHandle hDev);
// Lets the device go (the next opener can have it) while another thread may still be inside a call on it:
// closes the system's handle, which also ends a pending wait where the driver does, and keeps the record
// for that thread. CloseSerialDevice frees the record once nothing uses it. A second call does nothing.
bool ShutSerialDevice(SerialHandle hDev);
// Releases the device (unless ShutSerialDevice has) and frees the record. The handle is invalid afterwards.
bool CloseSerialDevice(SerialHandle hDev);

// For tests, a device opened by this name from now on behaves like a vanished one whose driver does not end
// a pending wait by itself: CancelSerialWait fails and leaves the wait pending; with bCancelIoFails so does
// CancelSerialIo, and the wait ends only when the device is shut or closed. All false: normal again.
struct SerialFaults {
    bool bCancelWaitFails = false;
    bool bCancelIoFails = false;
};
void SetSerialFaults(const std::string& strName, const SerialFaults& faults);

}  // namespace Platform
