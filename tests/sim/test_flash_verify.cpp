// Verification of the flash against a container, and the fault options' syntax.
#include <gtest/gtest.h>

#include <vector>

#include "sim/device_core.h"
#include "sim/flash_verify.h"
#include "tests/sim/sim_test_support.h"

using namespace Sim;
using namespace SimTest;

namespace {

// Flashes partitions 4 on into the model as the host would: erase the data rounded up to 16 KiB, then
// whole blocks padded with 0xFF.
void FlashLikeTheHost(CFlashModel* pFlash, const std::vector<uint8_t>& container, int nCount)
{
    for (int i = 4; i < nCount; ++i) {
        std::vector<uint8_t> data = PartitionData(container, i);
        const uint32_t dwStart = PartitionFlashStart(container, i);
        const uint32_t dwErase = static_cast<uint32_t>((data.size() + FLASH_UNIT - 1) / FLASH_UNIT * FLASH_UNIT);
        ASSERT_TRUE(pFlash->Erase(dwStart, dwErase));
        data.resize(dwErase, 0xFF);
        for (uint32_t dwAt = 0; dwAt < dwErase; dwAt += FLASH_UNIT) {
            ASSERT_TRUE(pFlash->Program(dwStart + dwAt, data.data() + dwAt));
        }
    }
}

bool Mentions(const VerifyReport& report, const std::string& strText)
{
    return report.Text().find(strText) != std::string::npos;
}

}  // namespace

TEST(FlashVerify, PassesAfterACorrectDownloadAndNamesEveryDifference)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    CFlashModel flash;
    VerifyReport before = VerifyFlash(flash, container.data(), container.size());
    EXPECT_FALSE(before.bOk) << "old firmware is not the new one";

    FlashLikeTheHost(&flash, container, 7);
    VerifyReport report = VerifyFlash(flash, container.data(), container.size());
    EXPECT_TRUE(report.bOk) << report.Text();
    EXPECT_TRUE(Mentions(report, "AMSS4: ok, 20480 bytes at 0x00028000, 12288 bytes of 0xFF after"));
    EXPECT_TRUE(Mentions(report, "MIBI0: ok, untouched"));

    // One wrong data byte in DSP1, and a byte behind AMSS4's data that is not 0xFF.
    std::vector<uint8_t> other = container;
    const uint32_t dwDsp = PartitionFlashStart(container, 5);
    other[1024 + 2112 * (50 + 3) + 5] ^= 0xFF;  // page 3 of DSP1, after the 50 pages of partitions 0 to 4
    report = VerifyFlash(flash, other.data(), other.size());
    EXPECT_FALSE(report.bOk);
    char szAt[32];
    std::snprintf(szAt, sizeof(szAt), "0x%08X", dwDsp + 3 * 2048 + 5);
    EXPECT_TRUE(Mentions(report, std::string("DSP15: first wrong byte at flash ") + szAt)) << report.Text();
    EXPECT_TRUE(Mentions(report, "DSP15: 1 of 61440 data bytes differ")) << report.Text();

    std::vector<uint8_t> block(FLASH_UNIT, 0xFF);
    block[4096] = 0x00;  // right behind AMSS4's 20480 data bytes
    const uint32_t dwAmss = PartitionFlashStart(container, 4);
    ASSERT_TRUE(flash.Erase(dwAmss + FLASH_UNIT, FLASH_UNIT));
    ASSERT_TRUE(flash.Program(dwAmss + FLASH_UNIT, block.data()));
    std::vector<uint8_t> amss = PartitionData(container, 4);
    report = VerifyFlash(flash, container.data(), container.size());
    EXPECT_FALSE(report.bOk);
    EXPECT_TRUE(Mentions(report, "AMSS4: 1 bytes after the data are not 0xFF")) << report.Text();
}

TEST(FlashVerify, ReportsTouchedProtectedRegionsAndBadContainers)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    CFlashModel flash;
    FlashLikeTheHost(&flash, container, 7);
    // SIM_1 occupies blocks 2 and 3 (0xA000 to 0x14000): erasing the unit at 0x10000 touches it.
    ASSERT_TRUE(flash.Erase(0x10000, FLASH_UNIT));
    VerifyReport report = VerifyFlash(flash, container.data(), container.size());
    EXPECT_FALSE(report.bOk);
    EXPECT_TRUE(Mentions(report, "SIM_1: must not be touched")) << report.Text();
    EXPECT_TRUE(Mentions(report, "MIBI0: ok, untouched")) << report.Text();

    std::vector<uint8_t> notContainer = container;
    notContainer[0] = 'l';
    report = VerifyFlash(flash, notContainer.data(), notContainer.size());
    EXPECT_FALSE(report.bOk);
    EXPECT_TRUE(Mentions(report, "not a valid firmware container"));
    report = VerifyFlash(flash, container.data(), 1500);  // pages missing
    EXPECT_FALSE(report.bOk);
}

TEST(FaultOptions, AcceptTheDocumentedSyntaxAndRejectTheRest)
{
    FaultRule rule;
    std::string strError;
    ASSERT_TRUE(ParseFaultRule("delay", "write=2500:every=3", &rule, &strError)) << strError;
    EXPECT_EQ(rule.nFault, FAULT_DELAY);
    EXPECT_EQ(rule.nCommand, KIND_WRITE);
    EXPECT_EQ(rule.nValue, 2500u);
    EXPECT_EQ(rule.nEvery, 3u);
    std::vector<bool> fired;
    for (int i = 0; i < 7; ++i) {
        fired.push_back(rule.Fire());
    }
    EXPECT_EQ(fired, (std::vector<bool>{false, false, true, false, false, true, false}));

    ASSERT_TRUE(ParseFaultRule("status", "any=0x7e", &rule, &strError)) << strError;
    EXPECT_EQ(rule.nValue, 0x7Eu);
    EXPECT_EQ(rule.nCommand, KIND_ANY);
    ASSERT_TRUE(ParseFaultRule("garbage", "00 7e:first=2", &rule, &strError)) << strError;
    EXPECT_EQ(rule.garbage, (std::vector<uint8_t>{0x00, 0x7E}));
    EXPECT_TRUE(rule.Fire() && rule.Fire() && !rule.Fire());

    const char* const bad[][2] = {
        {"status", "write"},          {"status", "write=256"},       {"status", "write=-1"},
        {"delay", "erase=abc"},       {"no-reply", "write=3"},       {"no-reply", "flash"},
        {"bad-crc", "reset:first=0"}, {"bad-crc", "reset:last=1"},   {"split", "middle"},
        {"split", "after-tag=3"},     {"garbage", "0"},              {"garbage", "zz"},
        {"explode", "write"},         {"no-reply", "unknown"},
    };
    for (const auto& b : bad) {
        strError.clear();
        EXPECT_FALSE(ParseFaultRule(b[0], b[1], &rule, &strError)) << b[0] << " " << b[1];
        EXPECT_FALSE(strError.empty()) << b[0] << " " << b[1];
    }
}
