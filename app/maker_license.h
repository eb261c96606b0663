#pragma once
// A licence text that the maker supplies for a language in place of the wizard's own. The build embeds
// each as resource type "LICENSE", ids 1, 2, ... without a gap: the language's code, a NUL byte, then the
// maker's file as written (UTF-8, lines ending in CRLF or LF).
#include <string>
#include <string_view>
#include <vector>

#include "app/license_text.h"

constexpr const char* MAKER_LICENSE_RESOURCE_TYPE = "LICENSE";

struct MakerLicense {
    std::string strText;                   // as shown: line feeds only
    std::vector<LicenseRange> boldRanges;  // the first line (the title) and every line beginning with "* "
};

// The maker's file as the licence page shows it: a leading byte-order mark dropped, every CRLF (and a
// lone CR) one line feed, so that each line break is one position in the rich edit control.
MakerLicense ParseMakerLicense(std::string_view strFile);

// The maker's licence for a language, or null where the build embeds none for it.
const MakerLicense* FindMakerLicense(const std::string& strLanguage);
