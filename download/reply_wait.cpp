#include "download/reply_wait.h"

#include <cstring>

#include "download/command_observer.h"
#include "download/engine_state.h"
#include "download/run_stop.h"
#include "platform/message_box.h"
#include "platform/named_event.h"
#include "serial/base_comm.h"

namespace {

int32_t WaitForReplyUnobserved(uint32_t nTimeoutMs)
{
    const char* pszName = g_pComm != nullptr ? g_pComm->GetReceiveEventName() : "";
    Platform::EventHandle hEvent = Platform::OpenEventObject(pszName);
    if (hEvent == nullptr) {
        FormatMessageText("%s", MSG_EVENT_ERROR);
        Platform::ShowMessageBox(MessageText.c_str(), "", Platform::MESSAGE_ICON_NONE);
    }
    const Platform::WaitResult nWait = Platform::WaitEventObjectOrStop(hEvent, RunStopEvent(), nTimeoutMs);
    Platform::ResetEventObject(hEvent);
    Platform::CloseEventObject(hEvent);

    switch (nWait) {
    case Platform::WAIT_RESULT_SIGNALED:
        ReplyLength = g_pComm->CopyReply(ReplyBuffer);
        return REPLY_OK;
    case Platform::WAIT_RESULT_TIMEOUT:
        return REPLY_TIMEOUT;
    case Platform::WAIT_RESULT_FAILED:
        return REPLY_WAIT_FAILED;
    default:  // a stop of the run among them
        return REPLY_ERROR;
    }
}

}  // namespace

int32_t WaitForReply(uint32_t nTimeoutMs)
{
    const int32_t nResult = WaitForReplyUnobserved(nTimeoutMs);
    NotifyReplyWaited(nTimeoutMs, nResult, ReplyBuffer, ReplyLength);
    return nResult;
}

bool IsReplySuccess(int32_t nWaitResult)
{
    return nWaitResult == REPLY_OK && ReplyLength > REPLY_STATUS_INDEX && ReplyBuffer[REPLY_STATUS_INDEX] == ACK_OK;
}

uint8_t ReplyStatus()
{
    return ReplyBuffer[REPLY_STATUS_INDEX];
}
