#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "serial/base_comm.h"

namespace {
// A wait that ended without data on a port still in use (Wine reports "operation aborted" for every
// wait on a pty while no byte is queued) is retried after this pause.
constexpr uint32_t WAIT_RETRY_PAUSE_MS = 5;
constexpr uint8_t PLATFORM_ID_WINDOWS = 1;
constexpr uint8_t PLATFORM_ID_NT = 2;
}  // namespace

unsigned CBaseComm::RunReceiveLoop()
{
    Platform::EventHandle hWaitEvent = Platform::CreateEventObject(nullptr, true, false);
    if (hWaitEvent == nullptr) {
        Platform::ShowMessageBox("Failed to create event for thread!", "comm Error!", Platform::MESSAGE_ICON_WARNING);
        return 0;
    }
    if (!Platform::WatchSerialEvents(m_hComm)) {
        Platform::CloseEventObject(hWaitEvent);
        return 0;
    }

    std::vector<uint8_t> buffer(RX_READ_LIMIT);
    while (m_bConnected) {
        if (m_byPlatformId == PLATFORM_ID_NT) {
            const Platform::SerialWaitResult nWait = Platform::WaitSerialData(m_hComm, hWaitEvent);
            if (nWait == Platform::SERIAL_WAIT_CLOSED || nWait == Platform::SERIAL_WAIT_GONE) {
                break;
            }
            if (nWait == Platform::SERIAL_WAIT_AGAIN) {
                Platform::SleepMs(WAIT_RETRY_PAUSE_MS);
                continue;
            }
        } else if (m_byPlatformId == PLATFORM_ID_WINDOWS) {
            Platform::WaitSerialData(m_hComm, hWaitEvent);
        }
        for (;;) {
            std::memset(buffer.data(), 0, buffer.size());
            const int32_t n = ReadAvailable(buffer.data(), RX_READ_LIMIT);
            if (n <= 0) {
                break;
            }
            OnReceiveChunk(buffer.data());
        }
    }
    Platform::CloseEventObject(hWaitEvent);
    return 1;
}
