#include "download/engine_state.h"

#include <cstdarg>
#include <cstdio>

std::string MessageText;
uint8_t ReplyBuffer[RX_BUFFER_SIZE] = {};
int32_t ReplyLength = 0;
volatile int32_t PortNotOpened = 0;

void FormatMessageText(const char* pszFormat, ...)
{
    char szBuffer[1024];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(szBuffer, sizeof(szBuffer), pszFormat, args);
    va_end(args);
    MessageText = szBuffer;
}
