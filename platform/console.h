#pragma once
// Console facts for the command-line programs.
#include <cstdio>

namespace Platform {

// True when the stream is an interactive terminal (progress can be redrawn in place).
bool IsTerminal(FILE* pStream);

// A closed output pipe (`krt-flash | head`) or a file-size limit makes the failing write return an
// error instead of ending the process, so a run in progress still closes its port and removes its files.
void SurviveFailedWrites();

}  // namespace Platform
