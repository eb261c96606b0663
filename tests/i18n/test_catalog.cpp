#include <gtest/gtest.h>

#include <string>

#include "i18n/catalog.h"
#include "platform/resources.h"

namespace {

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Platform::FindResourceBlob("TestMO", 1, &m_blob));
        ASSERT_TRUE(m_catalog.Load(m_blob.pData, m_blob.nSize));
    }

    std::string Bytes() const { return std::string(reinterpret_cast<const char*>(m_blob.pData), m_blob.nSize); }

    Platform::ResourceBlob m_blob;
    CCatalog m_catalog;
};

TEST_F(CatalogTest, FindsTranslationsByEnglishTextAndContext)
{
    EXPECT_STREQ("&Weiter", m_catalog.Text(nullptr, "&Next"));
    EXPECT_STREQ("Herunterladen", m_catalog.Text("step", "Download"));
    EXPECT_STREQ("Laden", m_catalog.Text(nullptr, "Download"));
    EXPECT_STREQ("Com%d verbunden", m_catalog.Text(nullptr, "Com%d Connected"));
    EXPECT_STREQ("\xE2\x98\x83 Schneemann", m_catalog.Text(nullptr, "Snowman"));
    EXPECT_STREQ("Testisch", m_catalog.Text("language name", "English"));
    EXPECT_EQ("xx", m_catalog.HeaderField("Language"));
    EXPECT_EQ("", m_catalog.HeaderField("X-No-Such-Field"));
}

TEST_F(CatalogTest, FallsBackToEnglishTextByText)
{
    // Untranslated and fuzzy entries, unknown texts, and a known text in another context.
    for (const char* pszEnglish : {"Untranslated", "Fuzzy", "Not in the catalog"}) {
        EXPECT_EQ(nullptr, m_catalog.Find(nullptr, pszEnglish)) << pszEnglish;
        EXPECT_STREQ(pszEnglish, m_catalog.Text(nullptr, pszEnglish));
    }
    EXPECT_STREQ("&Next", m_catalog.Text("button", "&Next"));
    EXPECT_STREQ("English", m_catalog.Text(nullptr, "English"));
    EXPECT_EQ(8u, m_catalog.Size());
}

TEST_F(CatalogTest, ComposedTextsTakeTheirValuesIntoTheTranslatedFormat)
{
    EXPECT_EQ("Com12 verbunden", m_catalog.Message("Com12 Connected"));
    EXPECT_EQ("Flash löschen.... [boot [2]]", m_catalog.Message("Erase Flash.... [boot [2]]"));
    EXPECT_EQ("Flash löschen.... []", m_catalog.Message("Erase Flash.... []"));
    EXPECT_EQ("3 Min. 7 Sek. vergangen – 41%", m_catalog.Message("Elapsed time : 3 min 7 sec - 41%"));
    EXPECT_EQ("&Weiter", m_catalog.Message("&Next"));
    // Texts that only resemble a format stay as they are.
    for (const char* pszText : {"ComX Connected", "Com Connected", "Com12 Connected!", "Elapsed time : 3 min 7 sec - 41",
                                "Not in the catalog"}) {
        EXPECT_EQ(pszText, m_catalog.Message(pszText));
    }
}

TEST_F(CatalogTest, RefusesDamagedCatalogsAndStaysEnglish)
{
    const std::string strGood = Bytes();
    CCatalog catalog;
    // Cut short anywhere: refused, or (cut after its last text) still reads only what is there.
    for (size_t nLength = 0; nLength < strGood.size(); ++nLength) {
        if (catalog.LoadCopy(strGood.substr(0, nLength)))
            EXPECT_STREQ("&Weiter", catalog.Text(nullptr, "&Next")) << nLength;
        else
            EXPECT_STREQ("&Next", catalog.Text(nullptr, "&Next")) << nLength;
    }
    // A table offset (bytes 12 to 15) far outside the data.
    std::string strBad = strGood;
    strBad[15] = '\x7F';
    EXPECT_FALSE(catalog.LoadCopy(strBad));
    EXPECT_EQ(0u, catalog.Size());
    EXPECT_FALSE(catalog.LoadCopy("not a catalog, but long enough to hold a header"));
    EXPECT_FALSE(catalog.Load(nullptr, 0));
}

}  // namespace
