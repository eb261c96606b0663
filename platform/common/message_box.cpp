// Routing of message boxes: a sink set by the program or a test wins over the system's own box.
#include "platform/message_box.h"

#include <mutex>

namespace Platform {

void ShowSystemMessageBox(const char* pszText, const char* pszCaption, MessageIcon nIcon);

namespace {
std::mutex g_sinkMutex;
MessageSink g_fnSink;
}  // namespace

void SetMessageSink(MessageSink fnSink)
{
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    g_fnSink = std::move(fnSink);
}

void ShowMessageBox(const char* pszText, const char* pszCaption, MessageIcon nIcon)
{
    MessageSink fnSink;
    {
        std::lock_guard<std::mutex> lock(g_sinkMutex);
        fnSink = g_fnSink;
    }
    if (fnSink) {
        fnSink(pszText != nullptr ? pszText : "", pszCaption != nullptr ? pszCaption : "");
        return;
    }
    ShowSystemMessageBox(pszText != nullptr ? pszText : "", pszCaption != nullptr ? pszCaption : "", nIcon);
}

}  // namespace Platform
