#pragma once
// An onlooker on the command exchange, for support logs: told of every command frame handed to the port
// and of every reply wait. It only watches: the wire and the timing stay as they are without one.
#include <cstdint>

class ICommandObserver {
public:
    virtual ~ICommandObserver() = default;
    // Called on the worker thread before the frame is written; the payload starts with the opcode.
    virtual void OnCommandSent(uint8_t byTag, const uint8_t* pPayload, uint32_t nLength) = 0;
    // Called on the worker thread when a wait ends; the reply bytes are those of ReplyBuffer.
    virtual void OnReplyWaited(uint32_t nTimeoutMs, int32_t nResult, const uint8_t* pReply, int32_t nReplyLength) = 0;
};

// One observer per process, or none (null). Set it before the worker starts and clear it after it ended.
void SetCommandObserver(ICommandObserver* pObserver);

void NotifyCommandSent(uint8_t byTag, const uint8_t* pPayload, uint32_t nLength);
void NotifyReplyWaited(uint32_t nTimeoutMs, int32_t nResult, const uint8_t* pReply, int32_t nReplyLength);
