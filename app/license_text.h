#pragma once
// The end-user licence agreement shown on the wizard's licence page: 18 pieces joined without
// separators. Line breaks are single line feeds, so every character is one position in the rich
// edit control and the bold ranges below address the joined text directly.
#include <string>
#include <vector>

constexpr int LICENSE_PIECE_COUNT = 18;

extern const char* const LicenseText[LICENSE_PIECE_COUNT];

// Pieces 1, 3, 5, 7, 9, 11, 13, 15, 16 and 17 (counted from 1) are set in bold.
bool IsLicensePieceBold(int nPieceIndex);

// The pieces in the current language (each piece is translated as one text), joined; or the maker's own
// licence text where the build embeds one for the current language (app/maker_license.h).
std::string JoinLicenseText();

// Positions [nFirst, nEnd) of one piece in the joined text in UTF-16 units, as the rich edit counts them.
struct LicenseRange {
    long nFirst;
    long nEnd;
};

// The bold pieces of JoinLicenseText(), or the maker's title and "* " headings.
std::vector<LicenseRange> LicenseBoldRanges();
