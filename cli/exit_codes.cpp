#include "cli/exit_codes.h"

#include <cstring>

#include "download/download_messages.h"
#include "download/notify.h"
#include "download/protocol.h"

namespace {

bool StartsWithFormat(const std::string& strText, const char* pszFormat)
{
    // The fixed part of a message with a number: everything before the first '%'.
    const char* pszPercent = std::strchr(pszFormat, '%');
    const size_t nFixed = pszPercent != nullptr ? static_cast<size_t>(pszPercent - pszFormat) : std::strlen(pszFormat);
    return strText.compare(0, nFixed, pszFormat, nFixed) == 0 && strText.size() >= nFixed;
}

}  // namespace

FlashExitCode ExitCodeForFinalText(const std::string& strFinal)
{
    if (strFinal == DOWNLOAD_COMPLETE_TEXT) {
        return EXIT_FLASH_OK;
    }
    if (strFinal == MSG_NO_PORT) {
        return EXIT_FLASH_NO_PORT;
    }
    if (strFinal == MSG_CANNOT_CREATE_PORT || strFinal == MSG_CANNOT_OPEN_PORT || strFinal == MSG_NO_REPLY_EVENT ||
        strFinal == MSG_NO_RECEIVE_THREAD) {
        return EXIT_FLASH_PORT_SETUP;
    }
    // The invalid-image text may be followed by the reason.
    if (strFinal.rfind(MSG_INVALID_IMAGE, 0) == 0 || strFinal == MSG_PARTITION_FILES_FAILED) {
        return EXIT_FLASH_BAD_IMAGE;
    }
    if (StartsWithFormat(strFinal, MSG_PARTITION_FILES_NOT_WRITTEN)) {
        return EXIT_FLASH_DISK;
    }
    if (strFinal == MSG_STARTUP_NO_REPLY) {
        return EXIT_FLASH_NO_RESPONSE;
    }
    if (StartsWithFormat(strFinal, MSG_STARTUP_BAD_ACK)) {
        return EXIT_FLASH_REFUSED;
    }
    if (strFinal == MSG_FLASH_DOWNLOAD_ERROR) {
        return EXIT_FLASH_FLASH_ERROR;
    }
    if (StartsWithFormat(strFinal, MSG_CLOSE_USB_FAILED) || strFinal == MSG_UNLOCK_FAILED ||
        strFinal == MSG_REBUILD_FAILED || strFinal == MSG_RESET_FAILED) {
        return EXIT_FLASH_END_STEPS;
    }
    return EXIT_FLASH_OTHER;
}

const char* ExitCodeHelp()
{
    return "Exit status:\n"
           "  0    Software Download Complete.\n"
           "  1    other failure\n"
           "  2    bad command line\n"
           "  3    no device port found (Error in Finding Com Port!)\n"
           "  4    port set-up failed (Cannot create ComPort! / Cannot Open ComPort!, or the reply event or\n"
           "       the receive thread could not be made)\n"
           "  5    invalid or unreadable image, also a partition table whose flash regions overlap or are\n"
           "       too small for their blocks (the reason follows the message)\n"
           "  6    no response to the startup command\n"
           "  7    startup command refused (Unrecognized ACK Value)\n"
           "  8    erasing or writing the flash failed (Flash download error!)\n"
           "  9    an end-of-download step failed (close USB, unlock, rebuild, reset)\n"
           "  10   --simulate: the flash does not match the image\n"
           "  11   --check-driver / --install-driver: the USB driver is missing\n"
           "  12   the temporary folder's disk is full (or a file-size limit was reached): the staged image\n"
           "       or the partition files could not be written; the message names the folder\n"
           "  130  interrupted (Ctrl-C); the port was closed and the staged files removed\n";
}
