// The licence text's pieces: single-byte, line feeds only, the line breaks each role carries, and
// bold ranges that cover exactly the bold pieces of the joined text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/license_text.h"

namespace {

size_t LeadingFeeds(const std::string& str)
{
    return str.find_first_not_of('\n') == std::string::npos ? str.size() : str.find_first_not_of('\n');
}

size_t TrailingFeeds(const std::string& str)
{
    const size_t nLast = str.find_last_not_of('\n');
    return nLast == std::string::npos ? str.size() : str.size() - 1 - nLast;
}

}  // namespace

TEST(LicenseText, PiecesAreSingleByteWithLineFeedsOnly)
{
    for (int i = 0; i < LICENSE_PIECE_COUNT; ++i) {
        const std::string strPiece = LicenseText[i];
        ASSERT_FALSE(strPiece.empty()) << "piece " << i + 1;
        EXPECT_EQ(strPiece.find('\r'), std::string::npos) << "piece " << i + 1;
        for (unsigned char ch : strPiece) {
            EXPECT_LT(ch, 0x80) << "piece " << i + 1;
        }
    }
}

TEST(LicenseText, EachRoleCarriesItsLineBreaks)
{
    auto piece = [](int nNumber) { return std::string(LicenseText[nNumber - 1]); };
    EXPECT_EQ(LeadingFeeds(piece(1)), 0u);
    EXPECT_EQ(TrailingFeeds(piece(1)), 0u);
    EXPECT_EQ(LeadingFeeds(piece(2)), 1u);
    EXPECT_EQ(TrailingFeeds(piece(2)), 2u);
    EXPECT_EQ(LeadingFeeds(piece(3)), 0u);
    EXPECT_EQ(TrailingFeeds(piece(3)), 1u);
    // Two lines, nothing around them.
    EXPECT_EQ(LeadingFeeds(piece(4)), 0u);
    EXPECT_EQ(TrailingFeeds(piece(4)), 0u);
    EXPECT_NE(piece(4).find('\n'), std::string::npos);
    for (int nHeading : {5, 7, 9, 11, 13}) {
        EXPECT_EQ(LeadingFeeds(piece(nHeading)), 2u) << nHeading;
        EXPECT_EQ(piece(nHeading).substr(2, 2), "* ") << nHeading;
        EXPECT_EQ(LeadingFeeds(piece(nHeading + 1)), 1u) << nHeading + 1;
    }
    for (int nDisclaimer : {15, 16, 17}) {
        const std::string str = piece(nDisclaimer);
        EXPECT_EQ(LeadingFeeds(str), 2u) << nDisclaimer;
        for (char ch : str) {
            EXPECT_FALSE(ch >= 'a' && ch <= 'z') << "disclaimer " << nDisclaimer << " is not in capitals";
        }
    }
    EXPECT_EQ(LeadingFeeds(piece(18)), 2u);
}

TEST(LicenseText, BoldRangesCoverTheBoldPiecesOfTheJoinedText)
{
    const std::string strJoined = JoinLicenseText();
    const auto ranges = LicenseBoldRanges();
    ASSERT_EQ(ranges.size(), 10u);
    const int nBold[] = {1, 3, 5, 7, 9, 11, 13, 15, 16, 17};
    for (size_t i = 0; i < ranges.size(); ++i) {
        const std::string strPiece = LicenseText[nBold[i] - 1];
        ASSERT_LE(static_cast<size_t>(ranges[i].nEnd), strJoined.size());
        EXPECT_EQ(strJoined.substr(ranges[i].nFirst, ranges[i].nEnd - ranges[i].nFirst), strPiece)
            << "piece " << nBold[i];
    }
    EXPECT_EQ(ranges[0].nFirst, 0);
    // The three disclaimers follow each other without a gap.
    EXPECT_EQ(ranges[7].nEnd, ranges[8].nFirst);
    EXPECT_EQ(ranges[8].nEnd, ranges[9].nFirst);
}
