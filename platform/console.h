#pragma once
// Console facts for the command-line programs.
#include <cstdio>

namespace Platform {

// True when the stream is an interactive terminal (progress can be redrawn in place).
bool IsTerminal(FILE* pStream);

}  // namespace Platform
