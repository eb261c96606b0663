#include "cli/json_events.h"

#include <cmath>

#include <nlohmann/json.hpp>

namespace {

// Tenths of a second are all a bench needs; full doubles would only make the lines long.
double Tenths(double dSeconds)
{
    return std::round(dSeconds * 10.0) / 10.0;
}

const char* KindName(FlashEventKind nKind)
{
    switch (nKind) {
    case FLASH_EVENT_PROGRESS:
        return "progress";
    case FLASH_EVENT_DONE:
        return "done";
    default:
        return "status";
    }
}

bool ParseFlashEventOrThrow(const std::string& strLine, FlashEvent* pEvent)
{
    const nlohmann::json line = nlohmann::json::parse(strLine, nullptr, false);
    if (!line.is_object() || !line.contains("event") || !line["event"].is_string()) {
        return false;
    }
    const std::string strKind = line["event"].get<std::string>();
    FlashEvent event;
    if (strKind == "status") {
        event.nKind = FLASH_EVENT_STATUS;
    } else if (strKind == "progress") {
        event.nKind = FLASH_EVENT_PROGRESS;
    } else if (strKind == "done") {
        event.nKind = FLASH_EVENT_DONE;
    } else {
        return false;
    }
    event.strPort = line.value("port", std::string());
    event.strText = line.value("text", std::string());
    event.strPartition = line.value("partition", std::string());
    event.nPercent = line.value("percent", 0);
    event.nBytesDone = line.value("bytes_done", uint64_t{0});
    event.nBytesTotal = line.value("bytes_total", uint64_t{0});
    event.dElapsedSeconds = line.value("elapsed_s", 0.0);
    event.dEtaSeconds = line.contains("eta_s") && line["eta_s"].is_number() ? line["eta_s"].get<double>() : -1.0;
    event.nExit = line.value("exit", 0);
    event.dSeconds = line.value("seconds", 0.0);
    *pEvent = event;
    return true;
}

}  // namespace

std::string FormatFlashEvent(const FlashEvent& event)
{
    // ordered_json keeps "event" first, as a person reading the stream expects.
    nlohmann::ordered_json line;
    line["event"] = KindName(event.nKind);
    line["port"] = event.strPort;
    switch (event.nKind) {
    case FLASH_EVENT_PROGRESS:
        line["percent"] = event.nPercent;
        line["partition"] = event.strPartition;
        line["bytes_done"] = event.nBytesDone;
        line["bytes_total"] = event.nBytesTotal;
        line["elapsed_s"] = Tenths(event.dElapsedSeconds);
        if (event.dEtaSeconds >= 0.0) {
            line["eta_s"] = std::llround(event.dEtaSeconds);
        } else {
            line["eta_s"] = nullptr;
        }
        break;
    case FLASH_EVENT_DONE:
        line["text"] = event.strText;
        line["exit"] = event.nExit;
        line["seconds"] = Tenths(event.dSeconds);
        break;
    default:
        line["text"] = event.strText;
        break;
    }
    // Texts come from the device's world and a port name may be anything: never throw over a bad byte.
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

bool ParseFlashEvent(const std::string& strLine, FlashEvent* pEvent)
{
    // A field of the wrong type makes the library throw; such a line is simply not one of ours.
    try {
        return ParseFlashEventOrThrow(strLine, pEvent);
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}
