// Serial devices on POSIX: a tty or pty in raw mode, polled; a pipe wakes a pending wait on close.
#include "platform/serial_device.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/common/serial_faults.h"
#include "platform/posix/serial_port_table.h"

namespace Platform {

struct SerialDevice {
    int fd = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::atomic<bool> bCancelled{false};
    bool bShut = false;  // fd closed by ShutSerialDevice; the pipe stays for a thread still waiting
    SerialFaults faults;
};

namespace {

constexpr int WRITE_TIMEOUT_MS = 1000;  // like the write time-out a COM port is given

std::string ResolvePath(const std::string& strName)
{
    static const char PREFIX[] = "\\\\.\\COM";
    if (strName.rfind(PREFIX, 0) == 0) {
        char* pEnd = nullptr;
        const long nPort = std::strtol(strName.c_str() + sizeof(PREFIX) - 1, &pEnd, 10);
        if (pEnd == nullptr || *pEnd != '\0' || nPort <= 0) {
            return {};
        }
        return LookupSerialPortPath(static_cast<int>(nPort));
    }
    if (strName.rfind("\\\\.\\", 0) == 0) {
        return {};  // other device names (TELNET) do not exist here
    }
    return strName;
}

speed_t ToSpeed(uint32_t dwBaud)
{
    switch (dwBaud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B115200;
    }
}

// Ends a pending poll of WaitSerialData and every later one.
void WakeWaiter(SerialHandle hDev)
{
    hDev->bCancelled.store(true);
    const char by = 1;
    (void)!write(hDev->wakeWrite, &by, 1);
}

}  // namespace

SerialHandle OpenSerialDevice(const std::string& strName)
{
    const std::string strPath = ResolvePath(strName);
    if (strPath.empty()) {
        return nullptr;
    }
    const int fd = open(strPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // Exclusive use: a second opener of the same device fails, as with a COM port.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    auto* pDev = new SerialDevice;
    pDev->fd = fd;
    pDev->wakeRead = pipeFds[0];
    pDev->wakeWrite = pipeFds[1];
    pDev->faults = LookupSerialFaults(strName);
    return pDev;
}

bool ConfigureSerialDevice(SerialHandle hDev, const SerialSettings& settings)
{
    if (hDev == nullptr) {
        return false;
    }
    termios tio{};
    if (tcgetattr(hDev->fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, ToSpeed(settings.dwBaudRate));
    cfsetospeed(&tio, ToSpeed(settings.dwBaudRate));
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (settings.byByteSize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (settings.byParity == 1) {
        tio.c_cflag |= PARENB | PARODD;
    } else if (settings.byParity == 2) {
        tio.c_cflag |= PARENB;
    }
    if (settings.byStopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(hDev->fd, TCSANOW, &tio) != 0) {
        return false;
    }
    int nLines = TIOCM_DTR | TIOCM_RTS;
    ioctl(hDev->fd, TIOCMBIC, &nLines);  // a pty has no modem lines; that is not an error here
    tcflush(hDev->fd, TCIOFLUSH);
    return true;
}

bool WatchSerialEvents(SerialHandle hDev)
{
    return hDev != nullptr;
}

SerialWaitResult WaitSerialData(SerialHandle hDev, EventHandle)
{
    if (hDev == nullptr) {
        return SERIAL_WAIT_GONE;
    }
    for (;;) {
        if (hDev->bCancelled.load()) {
            return SERIAL_WAIT_CLOSED;
        }
        pollfd fds[2] = {{hDev->fd, POLLIN, 0}, {hDev->wakeRead, POLLIN, 0}};
        const int n = poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return SERIAL_WAIT_GONE;
        }
        if (hDev->bCancelled.load() || (fds[1].revents & POLLIN)) {
            return SERIAL_WAIT_CLOSED;
        }
        // A hung-up tty also reports itself readable; only bytes still queued make that true.
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return QueuedSerialBytes(hDev) > 0 ? SERIAL_WAIT_DATA : SERIAL_WAIT_GONE;
        }
        if (fds[0].revents & POLLIN) {
            return SERIAL_WAIT_DATA;
        }
    }
}

bool CancelSerialWait(SerialHandle hDev)
{
    if (hDev == nullptr || hDev->faults.bCancelWaitFails) {
        return false;
    }
    WakeWaiter(hDev);
    return true;
}

bool CancelSerialIo(SerialHandle hDev)
{
    if (hDev == nullptr || hDev->faults.bCancelIoFails) {
        return false;
    }
    WakeWaiter(hDev);
    return true;
}

uint32_t QueuedSerialBytes(SerialHandle hDev)
{
    int n = 0;
    if (hDev == nullptr || hDev->bCancelled.load() || ioctl(hDev->fd, FIONREAD, &n) != 0 || n < 0) {
        return 0;
    }
    return static_cast<uint32_t>(n);
}

uint32_t ReadSerial(SerialHandle hDev, uint8_t* pBuffer, uint32_t nLimit, EventHandle)
{
    if (hDev == nullptr) {
        return 0;
    }
    for (;;) {
        const ssize_t n = read(hDev->fd, pBuffer, nLimit);
        if (n >= 0) {
            return static_cast<uint32_t>(n);
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

bool WriteSerial(SerialHandle hDev, const uint8_t* pData, uint32_t nLength, EventHandle)
{
    if (hDev == nullptr) {
        return false;
    }
    uint32_t nDone = 0;
    const int64_t nDeadline = MonotonicMs() + ScaledMs(WRITE_TIMEOUT_MS) + 1;
    while (nDone < nLength) {
        const ssize_t n = write(hDev->fd, pData + nDone, nLength - nDone);
        if (n > 0) {
            nDone += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return nDone > 0;  // a failure at once is a failed write; later ones are the line's business
        }
        const int64_t nLeft = nDeadline - MonotonicMs();
        if (nLeft <= 0) {
            return true;  // timed out part-way, as a COM port's write time-out does
        }
        pollfd fd = {hDev->fd, POLLOUT, 0};
        poll(&fd, 1, static_cast<int>(nLeft));
    }
    return true;
}

bool FlushSerial(SerialHandle hDev)
{
    return hDev != nullptr && tcdrain(hDev->fd) == 0;
}

bool PurgeSerial(SerialHandle hDev)
{
    return hDev != nullptr && tcflush(hDev->fd, TCIOFLUSH) == 0;
}

bool ClearSerialDtr(SerialHandle hDev)
{
    if (hDev == nullptr) {
        return false;
    }
    int nLines = TIOCM_DTR;
    if (ioctl(hDev->fd, TIOCMBIC, &nLines) != 0 && errno != ENOTTY && errno != EINVAL) {
        return false;
    }
    return true;
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
    // Closing a descriptor does not end another thread's poll on it; the pipe does, as closing a COM port does.
    WakeWaiter(hDev);
    ioctl(hDev->fd, TIOCNXCL);  // the flag outlives the descriptor: without this only root could reopen the tty
    return close(hDev->fd) == 0;
}

bool CloseSerialDevice(SerialHandle hDev)
{
    if (hDev == nullptr) {
        return false;
    }
    const bool bOk = ShutSerialDevice(hDev);
    close(hDev->wakeRead);
    close(hDev->wakeWrite);
    delete hDev;
    return bOk;
}

}  // namespace Platform
