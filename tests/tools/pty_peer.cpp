#include "tests/tools/pty_peer.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "download/crc16.h"

bool CPtyPeer::Start()
{
    m_fdMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fdMaster < 0 || grantpt(m_fdMaster) != 0 || unlockpt(m_fdMaster) != 0) {
        return false;
    }
    m_strSlavePath = ptsname(m_fdMaster);
    // Hold the slave open so the master never sees a hang-up before the host connects.
    m_fdSlaveKeep = open(m_strSlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(m_fdSlaveKeep, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_fdSlaveKeep, TCSANOW, &tio);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CPtyPeer::Stop()
{
    m_bStop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    HangUp();
}

void CPtyPeer::HangUp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fdSlaveKeep >= 0) {
        close(m_fdSlaveKeep);
        m_fdSlaveKeep = -1;
    }
    if (m_fdMaster >= 0) {
        close(m_fdMaster);
        m_fdMaster = -1;
    }
}

void CPtyPeer::SendRaw(const std::vector<uint8_t>& bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t nDone = 0;
    while (m_fdMaster >= 0 && nDone < bytes.size()) {
        const ssize_t n = write(m_fdMaster, bytes.data() + nDone, bytes.size() - nDone);
        if (n > 0) {
            nDone += static_cast<size_t>(n);
        } else {
            pollfd fd = {m_fdMaster, POLLOUT, 0};
            poll(&fd, 1, 10);
        }
    }
}

std::vector<std::vector<uint8_t>> CPtyPeer::Frames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames;
}

bool CPtyPeer::WaitFrames(size_t nCount, int nMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs);
    while (std::chrono::steady_clock::now() < deadline) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_frames.size() >= nCount) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void CPtyPeer::Run()
{
    uint8_t buffer[8192];
    while (!m_bStop) {
        int fd;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            fd = m_fdMaster;
        }
        if (fd < 0) {
            return;
        }
        pollfd pfd = {fd, POLLIN, 0};
        if (poll(&pfd, 1, 20) <= 0 || !(pfd.revents & POLLIN)) {
            continue;
        }
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        for (ssize_t i = 0; i < n; ++i) {
            OnByte(buffer[i]);
        }
    }
}

void CPtyPeer::OnByte(uint8_t by)
{
    if (by == 0x7E) {
        if (m_bInFrame && m_current.size() > 1) {
            m_current.push_back(by);
            std::vector<uint8_t> frame;
            frame.swap(m_current);
            m_bInFrame = false;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_frames.push_back(frame);
            }
            Answer(frame);
            return;
        }
        m_current.assign(1, by);
        m_bInFrame = true;
        return;
    }
    if (m_bInFrame) {
        m_current.push_back(by);
    }
}

void CPtyPeer::Answer(const std::vector<uint8_t>& frame)
{
    // frame: 7E tag escaped(payload + crc) 7E
    std::vector<uint8_t> body;
    for (size_t i = 2; i + 1 < frame.size(); ++i) {
        if (frame[i] == 0x7D && i + 2 < frame.size()) {
            body.push_back(static_cast<uint8_t>(frame[++i] ^ 0x20));
        } else {
            body.push_back(frame[i]);
        }
    }
    if (body.size() < 3 || m_bSilent) {
        return;
    }
    const size_t nPayload = body.size() - 2;
    const uint16_t wCrc = static_cast<uint16_t>(body[nPayload] | (body[nPayload + 1] << 8));
    if (Crc16X25(body.data(), nPayload) != wCrc) {
        return;
    }
    const uint8_t byStatus = m_byStatus;
    const uint16_t wReplyCrc = Crc16X25(&byStatus, 1);
    std::vector<uint8_t> reply = {0x7E, frame[1]};
    for (uint8_t b : {byStatus, static_cast<uint8_t>(wReplyCrc), static_cast<uint8_t>(wReplyCrc >> 8)}) {
        if (b >= 0x7D && b <= 0x7F) {
            reply.push_back(0x7D);
            reply.push_back(static_cast<uint8_t>(b ^ 0x20));
        } else {
            reply.push_back(b);
        }
    }
    reply.push_back(0x7E);
    SendRaw(reply);
}
