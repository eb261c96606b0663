// Any byte stream from the host, in any chunking, through the device's deframer and session: nothing may
// crash, the chunking must not change the frames found, and every reply must be a well-formed frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sim/device_core.h"
#include "sim/device_frames.h"

namespace {

bool SameFrames(const std::vector<Sim::HostFrame>& a, const std::vector<Sim::HostFrame>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].byTag != b[i].byTag || a[i].payload != b[i].payload || a[i].bCrcOk != b[i].bCrcOk ||
            a[i].bMalformed != b[i].bMalformed) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // One device for the whole run (its flash is 64 MiB); faults on so that every reply shape is made.
    static Sim::CDeviceCore* pCore = [] {
        auto* p = new Sim::CDeviceCore();
        std::vector<Sim::FaultRule> faults(3);
        std::string strError;
        Sim::ParseFaultRule("split", "after-tag:every=5", &faults[0], &strError);
        Sim::ParseFaultRule("garbage", "7e7d:every=7", &faults[1], &strError);
        Sim::ParseFaultRule("status", "any=0x7d:every=11", &faults[2], &strError);
        p->SetFaults(faults);
        p->SetUnplugAfterWrites(3);
        return p;
    }();
    if (nSize < 1) {
        return 0;
    }
    const uint32_t nSeedStart = pData[0];
    ++pData;
    --nSize;

    Sim::CDeviceDeframer whole;
    std::vector<Sim::HostFrame> wholeFrames;
    whole.Push(pData, nSize, &wholeFrames);

    Sim::CDeviceDeframer chunked;
    std::vector<Sim::HostFrame> frames;
    uint32_t nSeed = nSeedStart;
    for (size_t nPos = 0; nPos < nSize;) {
        nSeed = nSeed * 1103515245u + 12345u;
        size_t nLength = 1 + (nSeed >> 16) % 97;
        nLength = nLength < nSize - nPos ? nLength : nSize - nPos;
        chunked.Push(pData + nPos, nLength, &frames);
        nPos += nLength;
    }
    if (!SameFrames(wholeFrames, frames)) {
        std::abort();
    }

    for (const Sim::HostFrame& frame : frames) {
        if (frame.payload.size() > Sim::MAX_FRAME_BODY) {
            std::abort();
        }
        Sim::DeviceAction action = pCore->HandleFrame(frame, 0);
        // A reply, however cut, reads back as one frame carrying the command's tag.
        Sim::CDeviceDeframer replies;
        std::vector<Sim::HostFrame> replyFrames;
        for (const auto& chunk : action.chunks) {
            replies.Push(chunk.data(), chunk.size(), &replyFrames);
        }
        if (!action.chunks.empty() && (replyFrames.empty() || replyFrames[0].byTag != frame.byTag ||
                                       replyFrames[0].payload.size() != 1)) {
            std::abort();
        }
        if (action.bHangUp) {
            pCore->Reboot();
        }
    }
    return 0;
}
