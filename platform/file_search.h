#pragma once
// Looking for files by a name pattern.
#include <string>

namespace Platform {

// True when at least one directory entry matches the pattern: a folder, '\' or '/', then a name
// with the wildcards '*' and '?' ("C:\Drivers\qzcdbus.*"). Only the last component may hold wildcards.
bool AnyFileMatches(const std::string& strPattern);

}  // namespace Platform
