#include "platform/pty.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace Platform {

struct PtyDevice {
    int nMaster = -1;
    int nSlave = -1;
    std::string strSlavePath;
};

namespace {

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void CloseFd(int& nFd)
{
    if (nFd >= 0) {
        close(nFd);
        nFd = -1;
    }
}

}  // namespace

PtyHandle OpenPty()
{
    auto* pPty = new PtyDevice;
    pPty->nMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pPty->nMaster < 0 || grantpt(pPty->nMaster) != 0 || unlockpt(pPty->nMaster) != 0) {
        ClosePty(pPty);
        return nullptr;
    }
    char szName[128];
    if (ptsname_r(pPty->nMaster, szName, sizeof(szName)) != 0) {
        ClosePty(pPty);
        return nullptr;
    }
    pPty->strSlavePath = szName;
    pPty->nSlave = open(szName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pPty->nSlave < 0) {
        ClosePty(pPty);
        return nullptr;
    }
    termios tio{};
    if (tcgetattr(pPty->nSlave, &tio) != 0) {
        ClosePty(pPty);
        return nullptr;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tio.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(pPty->nSlave, TCSANOW, &tio) != 0) {
        ClosePty(pPty);
        return nullptr;
    }
    return pPty;
}

std::string GetPtySlavePath(PtyHandle hPty)
{
    return hPty ? hPty->strSlavePath : std::string();
}

PtyWaitResult WaitPtyData(PtyHandle hPty, uint32_t nRealMs)
{
    if (!hPty || hPty->nMaster < 0) {
        return PTY_WAIT_FAILED;
    }
    pollfd pfd{hPty->nMaster, POLLIN, 0};
    int nResult = poll(&pfd, 1, static_cast<int>(nRealMs));
    if (nResult < 0) {
        return errno == EINTR ? PTY_WAIT_TIMEOUT : PTY_WAIT_FAILED;
    }
    if (nResult == 0) {
        return PTY_WAIT_TIMEOUT;
    }
    if (pfd.revents & POLLIN) {
        return PTY_WAIT_DATA;
    }
    if (pfd.revents & POLLHUP) {
        // Only seen when no slave descriptor is open; ours is, so treat it as a pause.
        std::this_thread::sleep_for(std::chrono::milliseconds(nRealMs ? nRealMs : 1));
        return PTY_WAIT_TIMEOUT;
    }
    return PTY_WAIT_FAILED;
}

int ReadPty(PtyHandle hPty, uint8_t* pBuffer, size_t nLimit)
{
    if (!hPty || hPty->nMaster < 0) {
        return -1;
    }
    ssize_t nRead = read(hPty->nMaster, pBuffer, nLimit);
    if (nRead >= 0) {
        return static_cast<int>(nRead);
    }
    // EIO: no slave open at the moment; not an error for a device waiting for its host.
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EIO) {
        return 0;
    }
    return -1;
}

bool WritePty(PtyHandle hPty, const uint8_t* pData, size_t nLength, uint32_t nRealMs)
{
    if (!hPty || hPty->nMaster < 0) {
        return false;
    }
    const int64_t nDeadline = NowMs() + nRealMs;
    size_t nDone = 0;
    while (nDone < nLength) {
        ssize_t nWritten = write(hPty->nMaster, pData + nDone, nLength - nDone);
        if (nWritten > 0) {
            nDone += static_cast<size_t>(nWritten);
            continue;
        }
        if (nWritten < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        int64_t nLeft = nDeadline - NowMs();
        if (nLeft <= 0) {
            return false;
        }
        pollfd pfd{hPty->nMaster, POLLOUT, 0};
        poll(&pfd, 1, static_cast<int>(nLeft < 50 ? nLeft : 50));
    }
    return true;
}

uint32_t GetPtyUnreadBytes(PtyHandle hPty)
{
    if (!hPty || hPty->nSlave < 0) {
        return 0;
    }
    int nCount = 0;
    if (ioctl(hPty->nSlave, FIONREAD, &nCount) != 0 || nCount < 0) {
        return 0;
    }
    return static_cast<uint32_t>(nCount);
}

void ClosePty(PtyHandle hPty)
{
    if (!hPty) {
        return;
    }
    CloseFd(hPty->nSlave);
    CloseFd(hPty->nMaster);
    delete hPty;
}

bool CreateSymlink(const std::string& strTarget, const std::string& strLink)
{
    struct stat st{};
    if (lstat(strLink.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        return false;
    }
    // Made under a temporary name and renamed over the old link, so the link is never missing.
    std::string strTemp = strLink + ".new" + std::to_string(getpid());
    unlink(strTemp.c_str());
    if (symlink(strTarget.c_str(), strTemp.c_str()) != 0) {
        return false;
    }
    if (rename(strTemp.c_str(), strLink.c_str()) != 0) {
        unlink(strTemp.c_str());
        return false;
    }
    return true;
}

bool RemoveSymlink(const std::string& strLink)
{
    struct stat st{};
    if (lstat(strLink.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return false;
    }
    return unlink(strLink.c_str()) == 0;
}

}  // namespace Platform
