#pragma once
// Process-wide values the download steps share with the worker and the dialog.
#include <cstdint>
#include <string>

#include "download/protocol.h"

// The last progress or failure message of a download step; the worker's final report takes it from here.
extern std::string MessageText;
void FormatMessageText(const char* pszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Copy of the last reply received by WaitForReply, and its decoded length.
extern uint8_t ReplyBuffer[RX_BUFFER_SIZE];
extern int32_t ReplyLength;

// The run ended before a port was opened, so the worker must not close it.
extern volatile int32_t PortNotOpened;
