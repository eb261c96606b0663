#pragma once
// The user's preferred languages for the user interface, most preferred first, as the system names them:
// Windows gives its preferred UI languages ("de-AT", "zh-Hans-CN"); POSIX gives LANGUAGE's list and then
// the locale of messages (LC_ALL, else LC_MESSAGES, else LANG), unless that locale is "C" or "POSIX".
#include <string>
#include <vector>

namespace Platform {

std::vector<std::string> PreferredUiLanguages();

}  // namespace Platform
