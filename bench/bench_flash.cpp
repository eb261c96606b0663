// Flashes the shipped image into the simulated device (krt-devsim in a process of its own, so that this
// process's CPU time is the host's alone), once over an unthrottled pty and once at 1 MB/s, and prints
// the flash phase (first erase to reset reply), blocks per second, the host's overhead per block beyond
// the pacing it must keep (5 ms before each read, 1 ms per received chunk) and the link's transfer time,
// the host's CPU time as a share of wall time, and the peak resident memory.
//   bench_flash KRT_DEVSIM [THROTTLE_BYTES_PER_S ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "download/download_sequence.h"
#include "download/frame_codec.h"
#include "download/protocol.h"
#include "download/download_worker.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"

namespace {

constexpr double PACING_MS_PER_BLOCK = 5.0 + 1.0;
constexpr size_t REPLY_FRAME_BYTES = 6;

// Bytes the write frames of the run put on the wire, escapes included.
uint64_t WriteFrameBytes()
{
    uint64_t nTotal = 0;
    std::vector<uint8_t> payload(WRITE_PAYLOAD_SIZE);
    std::vector<uint8_t> frame(2 * WRITE_PAYLOAD_SIZE + 7);
    for (int nSlot = 4; nSlot < PARTITION_SLOTS; ++nSlot) {
        FILE* pFile = PartitionFileList[nSlot].m_szPath[0] ? Platform::OpenFile(PartitionFileList[nSlot].m_szPath, "rb")
                                                           : nullptr;
        if (pFile == nullptr) {
            continue;
        }
        for (;;) {
            std::fill(payload.begin(), payload.end(), 0xFF);
            const size_t nRead = std::fread(payload.data() + WRITE_HEADER_SIZE, 1, WRITE_BLOCK_SIZE, pFile);
            if (nRead == 0) {
                break;
            }
            nTotal += BuildFrame(payload.data(), payload.size(), 2, frame.data()) + REPLY_FRAME_BYTES;
        }
        std::fclose(pFile);
    }
    return nTotal;
}

// A field of /proc/self/status in kB ("RssAnon", "VmHWM"); -1 when missing.
long StatusKb(const char* pszField)
{
    FILE* pFile = std::fopen("/proc/self/status", "r");
    if (pFile == nullptr) {
        return -1;
    }
    char szLine[256];
    long nKb = -1;
    const size_t nField = std::strlen(pszField);
    while (std::fgets(szLine, sizeof(szLine), pFile) != nullptr) {
        if (std::strncmp(szLine, pszField, nField) == 0 && szLine[nField] == ':') {
            nKb = std::strtol(szLine + nField + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(pFile);
    return nKb;
}

// The kernel keeps a high-water mark of the whole RSS only; the anonymous part is sampled.
class CAnonPeak {
public:
    CAnonPeak()
        : m_thread([this] {
              while (!m_bStop.load()) {
                  Sample();
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          })
    {
    }
    ~CAnonPeak()
    {
        m_bStop = true;
        m_thread.join();
    }
    void Sample()
    {
        const long nKb = StatusKb("RssAnon");
        long nPeak = m_nPeakKb.load();
        while (nKb > nPeak && !m_nPeakKb.compare_exchange_weak(nPeak, nKb)) {
        }
    }
    long PeakKb() const { return m_nPeakKb.load(); }

private:
    std::atomic<long> m_nPeakKb{0};
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

struct Phase {
    int64_t nFirstEraseMs = -1;
    int64_t nEndMs = -1;
    int nBlocks = 0;
};

bool RunOnce(const std::string& strDevsim, uint32_t nThrottle, const std::string& strLink)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<std::string> args = {strDevsim, "--link", strLink};
        if (nThrottle > 0) {
            args.push_back("--throttle");
            args.push_back(std::to_string(nThrottle));
        }
        std::vector<char*> argv;
        for (std::string& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        execv(strDevsim.c_str(), argv.data());
        _exit(127);
    }
    for (int i = 0; i < 200 && access(strLink.c_str(), F_OK) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const int nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", strLink);
    DetectedPort = static_cast<uint8_t>(nPort);

    std::string strImage;
    if (!StageFirmwareImage(FIRMWARE_RESOURCE_ID, &strImage)) {
        std::fprintf(stderr, "bench_flash: cannot stage the image\n");
        return false;
    }
    Phase phase;
    SetNotifySink([&phase](int32_t nCode) {
        if (nCode == NOTIFY_STATUS && phase.nFirstEraseMs < 0 && StatusText.rfind("Erase Flash", 0) == 0) {
            phase.nFirstEraseMs = Platform::MonotonicMs();
        }
        if (nCode == NOTIFY_STATUS && StatusText.rfind("Flash Writing", 0) == 0) {
            ++phase.nBlocks;
        }
    });
    const double dCpuStart = CpuSeconds();
    const int64_t nWallStart = Platform::MonotonicMs();
    const bool bOk = RunDownload(strImage.c_str(), 1);
    phase.nEndMs = Platform::MonotonicMs();  // the reset reply has just been received
    const double dCpu = CpuSeconds() - dCpuStart;
    const int64_t nWall = phase.nEndMs - nWallStart;
    const uint64_t nWireBytes = WriteFrameBytes();
    RemoveStagedFiles(strImage.c_str());
    CBaseComm::Discard(g_pComm);
    SetNotifySink({});
    Platform::UnregisterSerialPort(nPort);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    if (!bOk) {
        std::fprintf(stderr, "bench_flash: the download failed: %s\n", MessageText.c_str());
        return false;
    }

    const double dPhaseMs = static_cast<double>(phase.nEndMs - phase.nFirstEraseMs);
    const double dLinkMs = nThrottle > 0 ? 1000.0 * static_cast<double>(nWireBytes) / phase.nBlocks / nThrottle : 0.0;
    const double dPerBlock = dPhaseMs / phase.nBlocks;
    std::printf("%-12s flash phase %.2f s, %d blocks, %.1f blocks/s, %.2f ms per block: pacing %.1f + link %.2f + "
                "host overhead %.2f ms; host CPU %.2f s of %.2f s wall = %.1f%%\n",
                nThrottle > 0 ? (std::to_string(nThrottle / 1000) + " kB/s").c_str() : "unthrottled", dPhaseMs / 1000.0,
                phase.nBlocks, phase.nBlocks / (dPhaseMs / 1000.0), dPerBlock, PACING_MS_PER_BLOCK, dLinkMs,
                dPerBlock - PACING_MS_PER_BLOCK - dLinkMs, dCpu, nWall / 1000.0, 100.0 * dCpu / (nWall / 1000.0));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_flash KRT_DEVSIM [THROTTLE_BYTES_PER_S ...]\n");
        return 2;
    }
    CAnonPeak anonPeak;
    std::vector<uint32_t> throttles = {0, 1000000};
    if (argc > 2) {
        throttles.clear();
        for (int i = 2; i < argc; ++i) {
            throttles.push_back(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
        }
    }
    std::string strFolder;
    Platform::EnterTempFolder(&strFolder);
    const std::string strLink = strFolder + "bench-device";
    for (uint32_t nThrottle : throttles) {
        if (!RunOnce(argv[1], nThrottle, strLink)) {
            return 1;
        }
    }
    anonPeak.Sample();
    std::printf("peak resident memory %.1f MB, of it anonymous (sampled every 5 ms) %.1f MB\n",
                StatusKb("VmHWM") / 1024.0, anonPeak.PeakKb() / 1024.0);
    return 0;
}
