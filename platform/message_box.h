#pragma once
// Modal message boxes with an OK button, or their stand-in where there is no window.
#include <functional>
#include <string>

namespace Platform {

enum MessageIcon {
    MESSAGE_ICON_NONE = 0,
    MESSAGE_ICON_WARNING = 1,
    MESSAGE_ICON_ERROR = 2,
    MESSAGE_ICON_INFO = 3,
};

// Blocks until the user has closed the box. Goes to the sink when one is set.
void ShowMessageBox(const char* pszText, const char* pszCaption, MessageIcon nIcon);

// Redirects message boxes (the command-line flasher prints them, tests record them). Empty restores the default.
using MessageSink = std::function<void(const std::string& strText, const std::string& strCaption)>;
void SetMessageSink(MessageSink fnSink);

}  // namespace Platform
