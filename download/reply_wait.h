#pragma once
// Waiting for the device's reply to the command just sent.
#include <cstdint>

// Waits nTimeoutMs for the reply event of the current port object. REPLY_OK copies the reply into
// ReplyBuffer; REPLY_TIMEOUT, REPLY_WAIT_FAILED and REPLY_ERROR leave it as it was. A stop of the run
// ends the wait at once with REPLY_ERROR.
int32_t WaitForReply(uint32_t nTimeoutMs);

// A command succeeded: the wait gave REPLY_OK and the reply just received carries status ACK_OK.
bool IsReplySuccess(int32_t nWaitResult);

// The status byte of the reply buffer (0 when the last reply was too short to hold one).
uint8_t ReplyStatus();
