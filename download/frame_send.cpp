#include <vector>

#include "download/command_observer.h"
#include "download/frame_codec.h"
#include "serial/base_comm.h"

void CBaseComm::SendFrame(const uint8_t* pPayload, uint32_t nLength, uint8_t byTag)
{
    NotifyCommandSent(byTag, pPayload, nLength);
    std::vector<uint8_t> frame(2 * static_cast<size_t>(nLength) + 7);
    const size_t nFrame = BuildFrame(pPayload, nLength, byTag, frame.data());
    Write(frame.data(), static_cast<uint32_t>(nFrame));
}

void CBaseComm::SendLargeFrame(const uint8_t* pPayload, uint32_t nLength, uint8_t byTag)
{
    NotifyCommandSent(byTag, pPayload, nLength);
    std::vector<uint8_t> frame(2 * static_cast<size_t>(nLength) + 7);
    const size_t nFrame = BuildFrame(pPayload, nLength, byTag, frame.data());
    const LargeFramePlan plan = PlanLargeFrame(nFrame);
    if (!plan.bSend) {
        return;  // the caller gets no reply and takes its time-out path
    }
    size_t nOffset = 0;
    for (int i = 0; i < plan.nFullPieces; ++i) {
        Write(frame.data() + nOffset, FRAME_WRITE_PIECE);
        nOffset += FRAME_WRITE_PIECE;
    }
    Write(frame.data() + nOffset, static_cast<uint32_t>(plan.nLastPiece));
}
