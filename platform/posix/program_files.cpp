#include "platform/program_files.h"

namespace Platform {

bool GetProgramFilesFolder(std::string*)
{
    return false;
}

}  // namespace Platform
