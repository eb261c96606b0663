#pragma once
// The device end of a pseudo-terminal, for the simulated device (POSIX only; nothing on Windows uses it).
// The host opens the slave path like any serial device; the simulator reads and writes the master.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

using PtyHandle = struct PtyDevice*;

// Opens a pty pair with the slave in raw mode (no echo, no byte translation) and a non-blocking master.
// A descriptor of the slave stays open inside the handle until ClosePty, so that the master neither fails
// nor hangs up while no host has the slave open. Null on failure.
PtyHandle OpenPty();
// The slave's path, e.g. "/dev/pts/7".
std::string GetPtySlavePath(PtyHandle hPty);

enum PtyWaitResult {
    PTY_WAIT_DATA = 0,     // bytes from the host can be read
    PTY_WAIT_TIMEOUT = 1,  // nothing within the time
    PTY_WAIT_FAILED = 2,   // the pty is unusable
};
// Waits up to nRealMs real milliseconds for bytes from the host.
PtyWaitResult WaitPtyData(PtyHandle hPty, uint32_t nRealMs);
// Reads what has arrived, up to nLimit bytes. Returns the count (0 when nothing is there), -1 on failure.
int ReadPty(PtyHandle hPty, uint8_t* pBuffer, size_t nLimit);
// Writes all bytes, waiting while the host's input queue is full, at most nRealMs real milliseconds.
bool WritePty(PtyHandle hPty, const uint8_t* pData, size_t nLength, uint32_t nRealMs);
// Bytes written by us that the host has not read yet (its input queue).
uint32_t GetPtyUnreadBytes(PtyHandle hPty);
// Closes both ends: the host's open slave sees a hang-up, like a USB device that went away.
void ClosePty(PtyHandle hPty);

// Makes strLink a symbolic link to strTarget, replacing a link that is there (never a regular file).
bool CreateSymlink(const std::string& strTarget, const std::string& strLink);
// Removes strLink if it is a symbolic link; false when it is something else or cannot be removed.
bool RemoveSymlink(const std::string& strLink);

}  // namespace Platform
