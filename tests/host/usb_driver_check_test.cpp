// The presence tests and the wizard's check sequence. This program carries an empty installer
// package, so every installation it attempts must fail cleanly.
#include "host/usb_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/host_os.h"
#include "platform/file_search.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/message_box.h"
#include "wine_driver_state.h"

namespace {

bool IsCurrent(const char* pszVersion)
{
    return IsDriverVersionCurrent(pszVersion, std::strlen(pszVersion));
}

TEST(DriverVersion, ComparesDottedNumbersComponentByComponent)
{
    for (const char* pszVersion : {"5.16.0.0", "5.16.0.1", "5.17.0.0", "10.0.0.0", "5.16", "5.16.0.0.0", "6",
                                   "05.016.0.0", "5.16.0.10"})
        EXPECT_TRUE(IsCurrent(pszVersion)) << pszVersion;
    // Text order would call "5.2.0.0" later than "5.16.0.0" and keep an outdated driver.
    for (const char* pszVersion : {"5.15.9.9", "4.99.0.0", "5.2.0.0", "5.15", "5", "0.0.0.0", "5.9.99.99"})
        EXPECT_FALSE(IsCurrent(pszVersion)) << pszVersion;
}

TEST(DriverVersion, TextThatIsNotADottedNumberIsNotCurrent)
{
    for (const char* pszVersion : {"", "abc", "5..16", "5.16.", ".5.16", "5.16a", " 5.16", "5.16 ", "-5.16",
                                   "+6.0", "v6.0.0.0", "6,0"})
        EXPECT_FALSE(IsCurrent(pszVersion)) << '"' << pszVersion << '"';
}

TEST(DriverVersion, LooksOnlyAtTheGivenLength)
{
    const char szStored[] = {'5', '.', '1', '7', '.', '0', '.', '0', 'X', 'Y'};
    EXPECT_TRUE(IsDriverVersionCurrent(szStored, 8));
    EXPECT_FALSE(IsDriverVersionCurrent(szStored, sizeof(szStored)));
    EXPECT_FALSE(IsDriverVersionCurrent(nullptr, 0));
}

TEST(DriverFolder, DropsOnlyTheX86Suffix)
{
    EXPECT_EQ("C:\\Program Files", NativeProgramFilesFolder("C:\\Program Files (x86)"));
    // A 64-bit build, or a host that does not redirect: the path is already the native folder.
    EXPECT_EQ("C:\\Program Files", NativeProgramFilesFolder("C:\\Program Files"));
    EXPECT_EQ("D:\\Apps", NativeProgramFilesFolder("D:\\Apps"));
    EXPECT_EQ("C:\\", NativeProgramFilesFolder("C:\\"));
    EXPECT_EQ(" (x86)", NativeProgramFilesFolder(" (x86)"));
    EXPECT_EQ("", NativeProgramFilesFolder(""));
}

TEST(InstallerPath, RefusesAPathBeyondMaxPath)
{
    const size_t nName = std::strlen(USB_DRIVER_INSTALLER_NAME);
    std::string strPath;
    std::string strFits = "C:\\" + std::string(HOST_MAX_PATH - 1 - nName - 4, 'T') + "\\";
    ASSERT_TRUE(MakeInstallerPath(strFits, &strPath));
    EXPECT_EQ(HOST_MAX_PATH - 1, strPath.size());
    EXPECT_EQ(strFits + USB_DRIVER_INSTALLER_NAME, strPath);

    std::string strTooLong = "C:\\" + std::string(HOST_MAX_PATH - nName - 4, 'T') + "\\";
    strPath = "unchanged";
    EXPECT_FALSE(MakeInstallerPath(strTooLong, &strPath));
    EXPECT_EQ("unchanged", strPath);
    EXPECT_FALSE(MakeInstallerPath(std::string(1000, 'T'), &strPath));
}

TEST(FileSearch, MatchesTheNameWithAnyExtension)
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "krt_file_search_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string strPattern = folder.string() + "\\qzcdbus.*";

    EXPECT_FALSE(Platform::AnyFileMatches(strPattern));
    std::ofstream(folder / "qzcdbus2.sys") << "x";
    std::ofstream(folder / "other.sys") << "x";
    EXPECT_FALSE(Platform::AnyFileMatches(strPattern));
    std::ofstream(folder / "qzcdbus.inf") << "x";
    EXPECT_TRUE(Platform::AnyFileMatches(strPattern));
    EXPECT_FALSE(Platform::AnyFileMatches(folder.string() + "\\missing\\qzcdbus.*"));
    std::filesystem::remove_all(folder);
}

class DriverCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetMessageSink([this](const std::string& strText, const std::string&) {
            m_messages.push_back(strText);
        });
#ifdef _WIN32
        WineDriverState::DeleteDriverKeys();
        WineDriverState::DeleteDriverFiles();
#endif
    }
    void TearDown() override
    {
        Platform::SetMessageSink(nullptr);
    }

    UsbDriverOutcome RunCheck(int32_t nHostOsCode)
    {
        return RunUsbDriverCheck(nHostOsCode, [this](bool bBusy) { m_busy.push_back(bBusy); });
    }

    std::vector<std::string> m_messages;
    std::vector<bool> m_busy;
};

TEST_F(DriverCheckTest, NoDriverAndNoUsablePackageFailsWithTheMessage)
{
    for (int32_t nCode : {HOST_OS_WIN7_64, HOST_OS_WINXP, HOST_OS_UNKNOWN}) {
        m_messages.clear();
        m_busy.clear();
        EXPECT_EQ(USB_DRIVER_FAILED, RunCheck(nCode)) << nCode;
        EXPECT_EQ(std::vector<bool>({true, false}), m_busy) << nCode;
        EXPECT_EQ(std::vector<std::string>({"Error Occured! USB Install Fail!"}), m_messages) << nCode;
    }
    std::string strTemp;
    ASSERT_TRUE(Platform::EnterTempFolder(&strTemp));
    EXPECT_FALSE(Platform::FileExists((strTemp + USB_DRIVER_INSTALLER_NAME).c_str()));
}

TEST_F(DriverCheckTest, MissingOrEmptyPackageIsNotInstalled)
{
    std::string strTemp;
    ASSERT_TRUE(Platform::EnterTempFolder(&strTemp));
    std::string strTarget = strTemp + "krt_extract_test.bin";
    EXPECT_FALSE(ExtractResourceToFile(999, strTarget.c_str()));
    EXPECT_FALSE(ExtractResourceToFile(USB_DRIVER_RESOURCE_ID, strTarget.c_str()));
    EXPECT_FALSE(Platform::FileExists(strTarget.c_str()));
    EXPECT_FALSE(InstallUsbDriver());
    EXPECT_FALSE(Platform::FileExists((strTemp + USB_DRIVER_INSTALLER_NAME).c_str()));
}

#ifdef _WIN32
TEST_F(DriverCheckTest, RegistryTestNeedsTheKeyAndTheValue)
{
    EXPECT_FALSE(CheckUsbDriverRegistry());
    ASSERT_TRUE(WineDriverState::WriteVersionText("5.16.0.0"));
    WineDriverState::DeleteVersionValue();
    EXPECT_FALSE(CheckUsbDriverRegistry());
}

TEST_F(DriverCheckTest, RegistryTestComparesVersionsAsNumbers)
{
    for (const char* pszVersion : {"5.16.0.0", "5.16.0.1", "5.17.0.0", "10.0.0.0", "5.16", "5.16.0.10"}) {
        ASSERT_TRUE(WineDriverState::WriteVersionText(pszVersion));
        EXPECT_TRUE(CheckUsbDriverRegistry()) << pszVersion;
    }
    for (const char* pszVersion : {"5.15.9.9", "4.99.0.0", "5.2.0.0", "", "driver"}) {
        ASSERT_TRUE(WineDriverState::WriteVersionText(pszVersion));
        EXPECT_FALSE(CheckUsbDriverRegistry()) << pszVersion;
    }
}

TEST_F(DriverCheckTest, VersionOfTenOrMoreCharactersCountsAsMissing)
{
    for (const char* pszVersion : {"5.16.0.0.0", "10.0.0.0.0", "99.99.99.99", "5.16.0.0             "}) {
        ASSERT_TRUE(WineDriverState::WriteVersionText(pszVersion));
        EXPECT_FALSE(CheckUsbDriverRegistry()) << pszVersion;
    }
    EXPECT_EQ(USB_DRIVER_FAILED, RunCheck(HOST_OS_WIN7_32));
}

TEST_F(DriverCheckTest, FileTestFindsQzcdbusWithAnyExtension)
{
    EXPECT_FALSE(CheckUsbDriverFile());
    ASSERT_TRUE(WineDriverState::CreateDriverFile("qzcdbus2.sys"));
    EXPECT_FALSE(CheckUsbDriverFile());
    for (const char* pszName : {"qzcdbus.sys", "qzcdbus.cat", "qzcdbus.x"}) {
        WineDriverState::DeleteDriverFiles();
        ASSERT_TRUE(WineDriverState::CreateDriverFile(pszName));
        EXPECT_TRUE(CheckUsbDriverFile()) << pszName;
    }
}

TEST_F(DriverCheckTest, HostCodeChoosesTheTest)
{
    // Registry only: found by the registry test, never by the 64-bit hosts' file test.
    ASSERT_TRUE(WineDriverState::WriteVersionText("5.16.0.0"));
    for (int32_t nCode : {HOST_OS_VISTA_64, HOST_OS_WIN7_64})
        EXPECT_FALSE(CheckUsbDriverPresent(nCode)) << nCode;
    for (int32_t nCode : {HOST_OS_UNKNOWN, HOST_OS_WINXP, HOST_OS_VISTA_32, HOST_OS_WIN7_32, HOST_OS_WIN98})
        EXPECT_TRUE(CheckUsbDriverPresent(nCode)) << nCode;

    // File only: the other way round.
    WineDriverState::DeleteDriverKeys();
    ASSERT_TRUE(WineDriverState::CreateDriverFile("qzcdbus.sys"));
    for (int32_t nCode : {HOST_OS_VISTA_64, HOST_OS_WIN7_64})
        EXPECT_TRUE(CheckUsbDriverPresent(nCode)) << nCode;
    for (int32_t nCode : {HOST_OS_UNKNOWN, HOST_OS_WINXP, HOST_OS_VISTA_32, HOST_OS_WIN7_32})
        EXPECT_FALSE(CheckUsbDriverPresent(nCode)) << nCode;
}

// What differs by word size, and what must not.
TEST_F(DriverCheckTest, BothBuildsFindTheDriverWhereThe32BitPackagePutsIt)
{
    std::string strFolder;
    ASSERT_TRUE(Platform::GetProgramFilesFolder(&strFolder));
    if (sizeof(void*) == 4)
        EXPECT_EQ("C:\\Program Files (x86)", strFolder);
    else
        EXPECT_EQ("C:\\Program Files", strFolder);
    EXPECT_EQ("C:\\Program Files", NativeProgramFilesFolder(strFolder));

    // A value in the 64-bit view only is not the package's: neither build counts it.
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, USB_DRIVER_REG_KEY, 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &hKey, nullptr));
    const char szVersion[] = "5.16.0.0";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(hKey, USB_DRIVER_REG_VALUE, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(szVersion), sizeof(szVersion)));
    RegCloseKey(hKey);
    EXPECT_FALSE(CheckUsbDriverRegistry());
    ASSERT_TRUE(WineDriverState::WriteVersionText("5.16.0.0"));
    EXPECT_TRUE(CheckUsbDriverRegistry());
}

TEST_F(DriverCheckTest, PresentDriverNeedsNothingMore)
{
    ASSERT_TRUE(WineDriverState::WriteVersionText("5.16.0.0"));
    EXPECT_EQ(USB_DRIVER_PRESENT, RunCheck(HOST_OS_WIN7_32));
    ASSERT_TRUE(WineDriverState::CreateDriverFile("qzcdbus.sys"));
    EXPECT_EQ(USB_DRIVER_PRESENT, RunCheck(HOST_OS_WIN7_64));
    EXPECT_TRUE(m_busy.empty());
    EXPECT_TRUE(m_messages.empty());
}
#else
TEST_F(DriverCheckTest, NoRegistryAndNoProgramFilesOffWindows)
{
    EXPECT_FALSE(CheckUsbDriverRegistry());
    EXPECT_FALSE(CheckUsbDriverFile());
}
#endif

}  // namespace
