#include "download/download_sequence.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "download/command_exchange.h"
#include "download/download_messages.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "download/protocol.h"
#include "download/reply_wait.h"
#include "download/run_stop.h"
#include "image/container.h"
#include "image/partition_files.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "serial/base_comm.h"
#include "serial/port_discovery.h"

namespace {

bool FindPortWithRetries()
{
    for (int nTry = 0; nTry < PORT_SEARCH_TRIES && !RunStopRequested(); ++nTry) {
        if ((FindDevicePort() & 0xFF) != 0) {
            return true;
        }
        Platform::SleepMs(PORT_SEARCH_PAUSE_MS, RunStopEvent());
    }
    return false;
}

}  // namespace

// The largest file whose erase length, rounded up to whole blocks, still fits 32 bits.
constexpr uint64_t MAX_PARTITION_FILE_BYTES = 0x100000000ull - WRITE_BLOCK_SIZE;

int32_t PartitionPercent(uint32_t dwWritten, uint32_t dwFileSize)
{
    const uint32_t dwHundredth = dwFileSize / 100;
    if (dwHundredth == 0) {
        // Under 100 bytes the formula would divide by zero: the file is either done or not.
        return dwWritten >= dwFileSize ? 100 : 0;
    }
    return static_cast<int32_t>(((dwWritten / 100) * 100) / dwHundredth);
}

int32_t WritePartition(int nSlot)
{
    PartitionFileEntry& slot = PartitionFileList[nSlot];
    const char* pszName = PartitionNames[nSlot];
    slot.m_nRow = 0;
    FILE* pFile = Platform::OpenFile(slot.m_szPath, "rb");
    if (pFile == nullptr) {
        NotifyStatus(STATUS_NO_FILE);
        return 0;
    }
    // A size that cannot be told must not pass for an empty partition (erased, one block written,
    // reported complete); neither may one the 32-bit erase length cannot carry.
    uint64_t nSize = 0;
    if (!Platform::GetStreamSize(pFile, &nSize) || nSize > MAX_PARTITION_FILE_BYTES) {
        std::fclose(pFile);
        FormatMessageText(MSG_NO_FILE_SIZE, pszName);
        NotifyStatus(MessageText.c_str());
        return 0;
    }
    slot.m_dwFileSize = static_cast<uint32_t>(nSize);
    slot.m_dwBytesWritten = 0;
    const uint32_t dwEraseLength = (slot.m_dwFileSize + WRITE_BLOCK_SIZE - 1) & ~(WRITE_BLOCK_SIZE - 1);
    uint32_t dwAddress = slot.m_dwFlashAddress;

    FormatMessageText(STATUS_ERASE, pszName);
    NotifyStatus(MessageText.c_str());
    int32_t nWait = REPLY_TIMEOUT;
    if (!ExchangeCommand(
            STEP_ERASE, [&] { g_pComm->SendEraseCmd(dwAddress, dwEraseLength, STEP_ERASE.byTag); }, &nWait)) {
        std::fclose(pFile);
        FormatMessageText("%s", MSG_ERASE_FAILED);
        return 0;
    }

    std::vector<uint8_t> block(WRITE_BLOCK_SIZE, 0xFF);
    NotifyDialog(0, NOTIFY_PROGRESS, 0, "");
    int nBlockCounter = 1;
    bool bSuccess = true;
    for (;;) {
        const size_t nRead = std::fread(block.data(), 1, WRITE_BLOCK_SIZE, pFile);
        if (nRead == 0) {
            // The end of the file; a read error or a file that shrank must not pass for a complete partition.
            if (std::ferror(pFile) || slot.m_dwBytesWritten < slot.m_dwFileSize) {
                FormatMessageText("%s", MSG_WRITE_FAILED);
                bSuccess = false;
            }
            break;
        }
        if (nRead < WRITE_BLOCK_SIZE) {
            std::memset(block.data() + nRead, 0xFF, WRITE_BLOCK_SIZE - nRead);
        }
        ++nBlockCounter;
        const uint8_t byTag = static_cast<uint8_t>(nBlockCounter % WRITE_TAG_MODULUS);
        // Unsigned: a partition of 2 GiB and more must not read as a negative size.
        FormatMessageText(STATUS_WRITING, pszName, static_cast<unsigned>(slot.m_dwBytesWritten),
                          static_cast<unsigned>(slot.m_dwFileSize));
        NotifyStatus(MessageText.c_str());
        if (!ExchangeCommand(STEP_WRITE,
                      [&] { g_pComm->SendWriteCmd(dwAddress, WRITE_BLOCK_SIZE, block.data(), byTag); }, &nWait)) {
            FormatMessageText("%s", MSG_WRITE_FAILED);
            bSuccess = false;
            break;
        }
        slot.m_dwBytesWritten += static_cast<uint32_t>(nRead);
        NotifyDialog(0, NOTIFY_PROGRESS, PartitionPercent(slot.m_dwBytesWritten, slot.m_dwFileSize), "");
        dwAddress += WRITE_BLOCK_SIZE;
        if (slot.m_dwBytesWritten >= slot.m_dwFileSize) {
            break;
        }
    }
    std::fclose(pFile);
    if (!bSuccess) {
        return 0;
    }
    NotifyStatus(STATUS_PARTITION_DONE);
    return 1;
}

bool RunDownload(const char* pszImagePath, int32_t nRebuildFlag)
{
    ResetRepliesDue();
    if (!FindPortWithRetries()) {
        FormatMessageText("%s", MSG_NO_PORT);
        PortNotOpened = 1;
        return false;
    }
    NotifyStatus(STATUS_INIT_COMPORT);
    if (!InitComPort()) {
        NotifyStatus(MessageText.c_str());
        PortNotOpened = 1;
        return false;
    }
    NotifyStatus(STATUS_COMPORT_READY);

    std::string strFault;
    if (ParseContainer(pszImagePath, &strFault) == -1) {
        // The reason (a flash layout that would overwrite a neighbour, say) follows the usual text.
        FormatMessageText("%s%s%s", MSG_INVALID_IMAGE, strFault.empty() ? "" : " ", strFault.c_str());
        return false;
    }
    NotifyStatus(STATUS_MAKE_PARTITION_FILES);
    int nWriteErrno = 0;
    if (MakePartitionFiles(pszImagePath, &nWriteErrno) != 0) {
        std::string strFolder;
        if (nWriteErrno != 0 && Platform::EnterTempFolder(&strFolder)) {
            // Not the image's fault: the user has to free space on that disk.
            FormatMessageText(MSG_PARTITION_FILES_NOT_WRITTEN, strFolder.c_str(), std::strerror(nWriteErrno));
        } else {
            FormatMessageText("%s", MSG_PARTITION_FILES_FAILED);
        }
        return false;
    }
    BuildPartitionFileList();
    NotifyStatus(STATUS_DOWNLOAD_START);

    int32_t nWait = REPLY_TIMEOUT;
    if (!ExchangeCommand(STEP_STARTUP, [] { g_pComm->SendStartupCmd(STEP_STARTUP.byTag); }, &nWait)) {
        if (nWait == REPLY_OK) {
            FormatMessageText(MSG_STARTUP_BAD_ACK, static_cast<unsigned>(ReplyStatus()));
        } else {
            FormatMessageText("%s", MSG_STARTUP_NO_REPLY);
        }
        return false;
    }

    for (int nSlot = 0; nSlot < PARTITION_SLOTS; ++nSlot) {
        if (nSlot < FIRST_WRITTEN_SLOT || PartitionFileList[nSlot].m_szPath[0] == '\0') {
            continue;
        }
        if (WritePartition(nSlot) <= 0) {
            FormatMessageText("%s", MSG_FLASH_DOWNLOAD_ERROR);
            return false;
        }
    }

    if (!ExchangeCommand(STEP_CLOSE_USB, [] { g_pComm->SendCloseUsbCmd(STEP_CLOSE_USB.byTag); }, &nWait)) {
        FormatMessageText(MSG_CLOSE_USB_FAILED, static_cast<unsigned>(ReplyStatus()));
        return false;
    }

    if (nRebuildFlag == 1) {
        NotifyStatus(STATUS_REBUILDING);
        if (!ExchangeCommand(STEP_UNLOCK, [] { g_pComm->SendStartupCmd(STEP_UNLOCK.byTag); }, &nWait)) {
            FormatMessageText("%s", MSG_UNLOCK_FAILED);
            return false;
        }
        NotifyStatus(STATUS_WAIT_REBUILDING);
        if (!ExchangeCommand(STEP_REBUILD, [] { g_pComm->SendRebuildCmd(STEP_REBUILD.byTag); }, &nWait)) {
            FormatMessageText("%s", MSG_REBUILD_FAILED);
            return false;
        }
    }

    NotifyStatus(STATUS_REBOOTING);
    if (!ExchangeCommand(STEP_RESET, [] { g_pComm->SendResetCmd(STEP_RESET.byTag); }, &nWait)) {
        FormatMessageText("%s", MSG_RESET_FAILED);
        return false;
    }
    NotifyDialog(0, NOTIFY_PROGRESS, 100, "");
    return true;
}
