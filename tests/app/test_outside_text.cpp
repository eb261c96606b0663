// Texts behind pointers from outside senders: read only where memory is readable, cut at 30 characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/outside_text.h"

namespace {

// Two pages: the first readable, the second not accessible; a text can be put right before the edge.
class CGuardedPage {
public:
    CGuardedPage()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_nPage = info.dwPageSize;
        m_pBase = static_cast<char*>(VirtualAlloc(nullptr, 2 * m_nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD dwOld = 0;
        VirtualProtect(m_pBase + m_nPage, m_nPage, PAGE_NOACCESS, &dwOld);
    }
    ~CGuardedPage() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    // Bytes placed so that they end exactly at the inaccessible page.
    const void* AtEdge(const void* pBytes, size_t nBytes)
    {
        char* pAt = m_pBase + m_nPage - nBytes;
        std::memcpy(pAt, pBytes, nBytes);
        return pAt;
    }
    const void* Inaccessible() const { return m_pBase + m_nPage; }

private:
    char* m_pBase = nullptr;
    size_t m_nPage = 0;
};

}  // namespace

TEST(OutsideText, StatusTextsOfThirtyCharactersOrMoreAreCut)
{
    std::string strResult;
    const char sz29[] = "12345678901234567890123456789";
    const char sz30[] = "123456789012345678901234567890";
    const char sz31[] = "1234567890123456789012345678901";
    ASSERT_TRUE(ReadOutsideStatusText(sz29, OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_EQ(strResult, sz29);
    ASSERT_TRUE(ReadOutsideStatusText(sz30, OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_EQ(strResult, std::string(sz30) + "....");
    ASSERT_TRUE(ReadOutsideStatusText(sz31, OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_EQ(strResult, std::string(sz30) + "....");

    const wchar_t wsz30[] = L"abcdefghijklmnopqrstuvwxyz0123";
    ASSERT_TRUE(ReadOutsideStatusText(wsz30, 0, &strResult));
    EXPECT_EQ(strResult, "abcdefghijklmnopqrstuvwxyz0123....");
    ASSERT_TRUE(ReadOutsideStatusText(L"Flashing", 7, &strResult));
    EXPECT_EQ(strResult, "Flashing");
    // Any script a sender uses comes through (the wizard keeps its texts in UTF-8).
    ASSERT_TRUE(ReadOutsideStatusText(L"\u66F4\u65B0\u4E2D", 0, &strResult));
    EXPECT_EQ(strResult, "\xE6\x9B\xB4\xE6\x96\xB0\xE4\xB8\xAD");
}

TEST(OutsideText, UnreadablePointersAreRefused)
{
    CGuardedPage page;
    std::string strResult = "unchanged";
    EXPECT_FALSE(ReadOutsideStatusText(nullptr, OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_FALSE(ReadOutsideStatusText(reinterpret_cast<const void*>(1), OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_FALSE(ReadOutsideStatusText(page.Inaccessible(), OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_FALSE(ReadOutsideStatusText(page.Inaccessible(), 0, &strResult));
    EXPECT_FALSE(ReadOutsideWideText(page.Inaccessible(), &strResult));
    EXPECT_FALSE(ReadOutsideWideText(reinterpret_cast<const void*>(~uintptr_t{0} - 1), &strResult));
    EXPECT_EQ(strResult, "unchanged");
    EXPECT_FALSE(IsReadableMemory(page.Inaccessible(), 1));
}

TEST(OutsideText, TextWithoutTerminatorEndsWhereReadableMemoryEnds)
{
    CGuardedPage page;
    std::string strResult;
    const char szBytes[] = {'S', 't', 'o', 'p'};  // no terminating zero before the inaccessible page
    ASSERT_TRUE(ReadOutsideStatusText(page.AtEdge(szBytes, sizeof(szBytes)), OUTSIDE_TEXT_SINGLE_BYTE, &strResult));
    EXPECT_EQ(strResult, "Stop");
    const char16_t wBytes[] = {u'O', u'k'};
    ASSERT_TRUE(ReadOutsideWideText(page.AtEdge(wBytes, sizeof(wBytes)), &strResult));
    EXPECT_EQ(strResult, "Ok");
    EXPECT_TRUE(IsReadableMemory(page.AtEdge(szBytes, sizeof(szBytes)), sizeof(szBytes)));
    EXPECT_FALSE(IsReadableMemory(page.AtEdge(szBytes, sizeof(szBytes)), sizeof(szBytes) + 1));
}
