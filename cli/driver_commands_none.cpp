#include <cstdio>

#include "cli/driver_commands.h"
#include "cli/exit_codes.h"

int RunDriverCommand(bool)
{
    std::printf("No USB driver is needed on this system.\n");
    return EXIT_FLASH_OK;
}
