#include "cli/run_reports.h"

#include <cstdio>
#include <cstring>

#include "cli/cli_os.h"
#include "cli/eta.h"
#include "cli/exit_codes.h"
#include "cli/image_source.h"
#include "cli/json_events.h"
#include "cli/progress_display.h"
#include "cli/run_log.h"
#include "download/download_messages.h"
#include "download/run_progress.h"
#include "host/host_description.h"
#include "download/notify.h"
#include "image/partition_files.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/md5.h"
#include "serial/base_comm.h"

namespace {

struct RunReports {
    bool bJson = false;
    FILE* pEvents = nullptr;
    std::string strPort;  // as the user named it; empty when discovered
    CRunLog log;
    int64_t nStartMs = 0;
    double dScale = 1.0;  // fixed at the start: Ctrl-C speeds the engine's clock up for the clean-up
    bool bFinished = false;
    std::string strFinal;
};

RunReports& Reports()
{
    static RunReports reports;
    return reports;
}

// Times are the engine's: real time unless KRT_TIME_SCALE runs the engine (and a simulated device) faster.
int64_t EngineMs()
{
    const RunReports& reports = Reports();
    return static_cast<int64_t>(static_cast<double>(Platform::MonotonicMs() - reports.nStartMs) / reports.dScale);
}

std::string PortForEvents()
{
    const RunReports& reports = Reports();
    if (!reports.strPort.empty()) {
        return reports.strPort;
    }
    const unsigned nPort = DetectedPort.load();
    return nPort != 0 ? "COM" + std::to_string(nPort) : std::string();
}

void Emit(const FlashEvent& event)
{
    RunReports& reports = Reports();
    if (reports.pEvents == nullptr) {
        return;
    }
    std::fputs(FormatFlashEvent(event).c_str(), reports.pEvents);
    std::fputc('\n', reports.pEvents);
    std::fflush(reports.pEvents);
}

std::string Md5Hex(const uint8_t* pData, size_t nSize)
{
    uint8_t abDigest[Platform::MD5_DIGEST_BYTES];
    if (!Platform::ComputeMd5(pData, nSize, abDigest)) {
        return "unavailable";
    }
    std::string strHex;
    char szByte[3];
    for (uint8_t byValue : abDigest) {
        std::snprintf(szByte, sizeof(szByte), "%02x", byValue);
        strHex += szByte;
    }
    return strHex;
}

void WriteLogHeader(const FlashOptions& options, const char* pszToolVersion)
{
    CRunLog& log = Reports().log;
    log.Write(std::string("krt-flash ") + pszToolVersion + " run begins");
    log.Write("host: " + DescribeHost());
    log.Write("driver: " + DescribeUsbDriver());
    log.Write("port: " + (options.strPort.empty() ? std::string("discovered (qzcdserd, else qzcdmdm)") : options.strPort) +
              (options.bNoRebuild ? ", no rebuild" : ""));
    char szScale[64];
    std::snprintf(szScale, sizeof(szScale), "time scale: %g", Platform::GetTimeScale());
    log.Write(szScale);
    CImageSource source;
    std::string strError;
    if (!source.Open(options.strImage, &strError)) {
        log.Write("image: " + strError);
        return;
    }
    log.Write("image: " + source.Describe() + ", " + std::to_string(source.Size()) + " bytes, md5 " +
              Md5Hex(source.Data(), source.Size()));
}

// What the text mode said for runs that ended before the worker had a final text.
std::string EarlyExitText(int nExit)
{
    switch (nExit) {
    case EXIT_FLASH_USAGE:
        return "bad command line";
    case EXIT_FLASH_BAD_IMAGE:
        return "Cannot Open binary file!";
    case EXIT_FLASH_INTERRUPTED:
        return "interrupted";
    default:
        return "failed with exit status " + std::to_string(nExit);
    }
}

// "Erase Flash.... [AMSS4]" names the partition that begins; its slot in the partition list.
}  // namespace

bool BeginRunReports(const FlashOptions& options, const char* pszToolVersion, std::string* pstrError)
{
    RunReports& reports = Reports();
    reports.strPort = options.strPort;
    reports.bJson = options.bJson;
    reports.nStartMs = Platform::MonotonicMs();
    reports.dScale = Platform::GetTimeScale();
    if (!options.strLog.empty()) {
        if (!reports.log.Open(options.strLog, pstrError)) {
            return false;
        }
        WriteLogHeader(options, pszToolVersion);
        SetCommandObserver(&reports.log);
    }
    if (options.bJson) {
        reports.pEvents = TakeStdoutForEvents();
        if (reports.pEvents == nullptr) {
            *pstrError = "standard output cannot carry the events";
            return false;
        }
    }
    return true;
}

void EndRunReports(int nExit)
{
    RunReports& reports = Reports();
    SetCommandObserver(nullptr);
    const double dSeconds = static_cast<double>(EngineMs()) / 1000.0;
    const std::string strText = reports.bFinished ? reports.strFinal : EarlyExitText(nExit);
    if (reports.log.IsOpen()) {
        if (!reports.bFinished) {
            reports.log.Write("final: " + strText);
        }
        char szEnd[96];
        std::snprintf(szEnd, sizeof(szEnd), "exit status %d after %.1f s", nExit, dSeconds);
        reports.log.Write(szEnd);
        reports.log.Close();
    }
    FlashEvent done;
    done.nKind = FLASH_EVENT_DONE;
    done.strPort = PortForEvents();
    done.strText = strText;
    done.nExit = nExit;
    done.dSeconds = dSeconds;
    Emit(done);
    if (reports.pEvents != nullptr) {
        std::fclose(reports.pEvents);
        reports.pEvents = nullptr;
    }
}

struct CRunReporter::Impl {
    std::unique_ptr<CProgressDisplay> pDisplay;  // text mode only
    CRunProgress progress;
    std::string strFinal;
};

CRunReporter::CRunReporter() : m_pImpl(std::make_unique<Impl>())
{
    if (!Reports().bJson) {
        m_pImpl->pDisplay = std::make_unique<CProgressDisplay>(stdout, Platform::IsTerminal(stdout),
                                                               Platform::WallSeconds());
    }
}

CRunReporter::~CRunReporter() = default;

const std::string& CRunReporter::FinalText() const
{
    return m_pImpl->strFinal;
}

void CRunReporter::OnNotify(int32_t nCode)
{
    Impl& impl = *m_pImpl;
    RunReports& reports = Reports();
    const std::string strText = StatusText;
    const int nPercent = ProgressPercent;
    double dLeft = -1.0;
    if (nCode == NOTIFY_STATUS) {
        impl.progress.OnStatus(strText);
        if (!strText.empty()) {
            reports.log.Write("status: " + strText);
        }
        if (strText == STATUS_COMPORT_READY) {
            reports.log.Write("port opened: COM" + std::to_string(static_cast<unsigned>(DetectedPort.load())));
        }
    } else if (nCode == NOTIFY_PROGRESS) {
        impl.progress.OnProgress(EngineMs());
        dLeft = impl.progress.SecondsLeft(EngineMs());
    } else if (nCode == NOTIFY_FINISHED) {
        impl.strFinal = strText;
        reports.bFinished = true;
        reports.strFinal = strText;
        reports.log.Write("final: " + strText);
    }

    if (impl.pDisplay) {
        if (nCode == NOTIFY_PROGRESS) {
            impl.pDisplay->SetTimeLeft(FormatTimeLeft(dLeft));
        }
        impl.pDisplay->OnNotify(nCode);
        return;
    }
    FlashEvent event;
    event.strPort = PortForEvents();
    if (nCode == NOTIFY_STATUS && !strText.empty()) {
        event.nKind = FLASH_EVENT_STATUS;
        event.strText = strText;
        Emit(event);
    } else if (nCode == NOTIFY_PROGRESS) {
        event.nKind = FLASH_EVENT_PROGRESS;
        event.nPercent = nPercent;
        event.strPartition = impl.progress.PartitionName();
        event.nBytesDone = impl.progress.Rate().Done();
        event.nBytesTotal = impl.progress.Rate().Total();
        event.dElapsedSeconds = static_cast<double>(EngineMs()) / 1000.0;
        event.dEtaSeconds = dLeft;
        Emit(event);
    }
}

void CRunReporter::Finish()
{
    Impl& impl = *m_pImpl;
    if (impl.pDisplay) {
        impl.pDisplay->Finish();
    }
    const CRunProgress& progress = impl.progress;
    if (progress.Rate().Done() == 0) {
        return;
    }
    // The writing's own time: from the first block to the last acknowledged one.
    const double dSeconds = static_cast<double>(progress.LastWriteMs() - progress.Rate().BeginMs()) / 1000.0;
    const std::string strSummary = FormatWriteSummary(progress.Rate().Done(), progress.PartitionsDone(), dSeconds);
    Reports().log.Write(strSummary);
    if (impl.pDisplay) {
        std::printf("%s\n", strSummary.c_str());
        std::fflush(stdout);
    }
}
