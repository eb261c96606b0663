#include "download/command_exchange.h"

#include "download/engine_state.h"
#include "download/reply_wait.h"
#include "download/run_stop.h"
#include "platform/clock.h"

namespace {

// Replies the device still owes for attempts whose wait timed out.
int g_nRepliesDue = 0;

void WaitOutLateReplies(uint32_t nTimeoutMs)
{
    while (g_nRepliesDue > 0) {
        if (WaitForReply(nTimeoutMs) != REPLY_OK) {
            g_nRepliesDue = 0;  // lost for good
            return;
        }
        --g_nRepliesDue;
    }
}

}  // namespace

void ResetRepliesDue()
{
    g_nRepliesDue = 0;
}

bool ExchangeCommand(const CommandStep& step, const std::function<void()>& fnSend, int32_t* pnLastWait,
                     const std::function<void(int32_t nWait)>& fnOnWait)
{
    WaitOutLateReplies(step.nTimeoutMs);
    for (int nAttempt = 0; nAttempt < step.nAttempts; ++nAttempt) {
        if (RunStopRequested()) {
            return false;
        }
        fnSend();
        ++g_nRepliesDue;
        const int32_t nWait = WaitForReply(step.nTimeoutMs);
        *pnLastWait = nWait;
        if (nWait == REPLY_OK) {
            --g_nRepliesDue;
        }
        if (fnOnWait) {
            fnOnWait(nWait);
        }
        if (IsReplySuccess(nWait)) {
            return true;
        }
        Platform::SleepMs(step.nPauseMs, RunStopEvent());
    }
    return false;
}
