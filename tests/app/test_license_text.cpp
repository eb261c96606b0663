// The licence text's pieces: single-byte, line feeds only, the line breaks each role carries, and
// bold ranges that cover exactly the bold pieces of the joined text. A maker's licence text in place of
// the built-in one, in its language only.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/license_text.h"
#include "app/maker_license.h"
#include "i18n/translations.h"

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

TEST(LicenseText, MakerTextFoldsLineBreaksAndBoldsTheTitleAndStarLines)
{
    // As Notepad saves it: a byte-order mark, CRLF; one character beyond the basic plane in the title.
    const MakerLicense crlf = ParseMakerLicense(
        "\xEF\xBB\xBFLizenz f\xC3\xBCr \xF0\x9F\x93\xB1\r\nVorwort\r\n\r\n* 1. Nutzung\r\nText mit * darin\r\n"
        "*kein Kopf\r\n * auch nicht\r\n* 2. Ende\r\n");
    const std::string strShown =
        "Lizenz f\xC3\xBCr \xF0\x9F\x93\xB1\nVorwort\n\n* 1. Nutzung\nText mit * darin\n*kein Kopf\n * auch nicht\n* 2. Ende\n";
    EXPECT_EQ(crlf.strText, strShown);
    // UTF-16 units: the title is 11 characters and a surrogate pair.
    ASSERT_EQ(crlf.boldRanges.size(), 3u);
    EXPECT_EQ(crlf.boldRanges[0].nFirst, 0);
    EXPECT_EQ(crlf.boldRanges[0].nEnd, 13);
    EXPECT_EQ(crlf.boldRanges[1].nFirst, 23);
    EXPECT_EQ(crlf.boldRanges[1].nEnd, 35);
    EXPECT_EQ(crlf.boldRanges[2].nFirst, 78);
    EXPECT_EQ(crlf.boldRanges[2].nEnd, 87);

    // The same text with line feeds, without a last line break: the same positions.
    const MakerLicense lf = ParseMakerLicense(strShown.substr(0, strShown.size() - 1));
    EXPECT_EQ(lf.strText + "\n", strShown);
    ASSERT_EQ(lf.boldRanges.size(), 3u);
    for (size_t i = 0; i < lf.boldRanges.size(); ++i) {
        EXPECT_EQ(lf.boldRanges[i].nFirst, crlf.boldRanges[i].nFirst) << i;
        EXPECT_EQ(lf.boldRanges[i].nEnd, crlf.boldRanges[i].nEnd) << i;
    }
}

TEST(LicenseText, EmbeddedMakerTextReplacesItsLanguagesOnly)
{
    // This test program carries tests/app/maker_license_de.txt as the German licence.
    ASSERT_TRUE(SetLanguage("de"));
    const std::string strGerman = JoinLicenseText();
    const auto germanBold = LicenseBoldRanges();
    ASSERT_TRUE(SetLanguage("en"));
    EXPECT_EQ(strGerman, "Lizenzvertrag f\xC3\xBCr das Upgrade\nBitte lesen.\n\n* 1. Nutzung\nNur f\xC3\xBCr Ihr Ger\xC3\xA4t.\n");
    ASSERT_EQ(germanBold.size(), 2u);
    EXPECT_EQ(germanBold[0].nFirst, 0);
    EXPECT_EQ(germanBold[0].nEnd, 29);
    EXPECT_EQ(germanBold[1].nFirst, 44);
    EXPECT_EQ(germanBold[1].nEnd, 56);
    EXPECT_EQ(JoinLicenseText().rfind("VELMORA END USER LICENCE AGREEMENT", 0), 0u);
    EXPECT_EQ(LicenseBoldRanges().size(), 10u);
}
