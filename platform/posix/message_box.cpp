#include <cstdio>

#include "platform/message_box.h"

namespace Platform {

// No window here: the text goes to standard error.
void ShowSystemMessageBox(const char* pszText, const char* pszCaption, MessageIcon)
{
    if (pszCaption[0] != '\0') {
        std::fprintf(stderr, "%s: %s\n", pszCaption, pszText);
    } else {
        std::fprintf(stderr, "%s\n", pszText);
    }
}

}  // namespace Platform
