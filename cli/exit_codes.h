#pragma once
// Exit status of krt-flash, one per kind of outcome.
#include <string>

enum FlashExitCode {
    EXIT_FLASH_OK = 0,            // "Software Download Complete."
    EXIT_FLASH_USAGE = 2,         // bad command line
    EXIT_FLASH_NO_PORT = 3,       // no device port found
    EXIT_FLASH_PORT_SETUP = 4,    // the port could not be created or opened
    EXIT_FLASH_BAD_IMAGE = 5,     // the image is not a valid container or could not be staged
    EXIT_FLASH_NO_RESPONSE = 6,   // the device never answered the startup command
    EXIT_FLASH_REFUSED = 7,       // the device refused the startup command
    EXIT_FLASH_FLASH_ERROR = 8,   // erasing or writing a partition failed
    EXIT_FLASH_END_STEPS = 9,     // close-USB, unlock, rebuild or reset failed
    EXIT_FLASH_VERIFY = 10,       // --simulate: the flash differs from the image
    EXIT_FLASH_DRIVER = 11,       // --check-driver / --install-driver: no driver
    EXIT_FLASH_DISK = 12,         // the staged image or the partition files did not fit the temporary folder's disk
    EXIT_FLASH_INTERRUPTED = 130, // Ctrl-C
    EXIT_FLASH_OTHER = 1,         // anything else
};

// The exit status for the run's final text.
FlashExitCode ExitCodeForFinalText(const std::string& strFinal);

// The table above as help text.
const char* ExitCodeHelp();
