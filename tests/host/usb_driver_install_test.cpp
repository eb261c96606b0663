// The installation with the real (stand-in) package embedded as resource "FILE" 135. Under Wine the
// package is opened with the shell, msiexec installs it into the test's fresh prefix, and the
// presence tests must then find it.
#include "host/usb_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/host_os.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "wine_driver_state.h"

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class DriverInstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Platform::EnterTempFolder(&m_strTemp));
        m_strInstaller = m_strTemp + USB_DRIVER_INSTALLER_NAME;
        // 3000 ms and 500 ms become 30 ms and 5 ms; the installer itself takes its real time.
        Platform::SetTimeScale(0.01);
        Platform::SetMessageSink([this](const std::string& strText, const std::string&) {
            m_messages.push_back(strText);
        });
    }
    void TearDown() override
    {
        Platform::SetMessageSink(nullptr);
        Platform::SetTimeScale(1.0);
    }

    UsbDriverOutcome RunCheck(int32_t nHostOsCode)
    {
        return RunUsbDriverCheck(nHostOsCode, [this](bool bBusy) { m_busy.push_back(bBusy); });
    }

    std::string m_strTemp;
    std::string m_strInstaller;
    std::vector<std::string> m_messages;
    std::vector<bool> m_busy;
};

TEST_F(DriverInstallTest, ExtractsTheEmbeddedPackageWhole)
{
    Platform::ResourceBlob blob;
    ASSERT_TRUE(Platform::FindResourceBlob("FILE", USB_DRIVER_RESOURCE_ID, &blob));
    ASSERT_GT(blob.nSize, 512u);
    std::vector<uint8_t> embedded(blob.pData, blob.pData + blob.nSize);
    // An MSI is an OLE compound file.
    const std::vector<uint8_t> magic = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    EXPECT_TRUE(std::equal(magic.begin(), magic.end(), embedded.begin()));
#ifdef _WIN32
    const std::string strBuilt = std::string("Z:") + KRT_DRIVER_MSI_PATH;
#else
    const std::string strBuilt = KRT_DRIVER_MSI_PATH;
#endif
    EXPECT_EQ(ReadWholeFile(strBuilt), embedded);

    // A longer file of the same name is replaced, not partly overwritten.
    std::string strTarget = m_strTemp + "krt_extract_test.msi";
    std::ofstream(strTarget, std::ios::binary) << std::string(blob.nSize + 4096, 'x');
    ASSERT_TRUE(ExtractResourceToFile(USB_DRIVER_RESOURCE_ID, strTarget.c_str()));
    EXPECT_EQ(embedded, ReadWholeFile(strTarget));
    EXPECT_TRUE(Platform::DeleteFileAt(strTarget.c_str()));

    EXPECT_FALSE(ExtractResourceToFile(USB_DRIVER_RESOURCE_ID, (m_strTemp + "no_such_dir/x.msi").c_str()));
}

#ifdef _WIN32
bool ReadVersionInView(REGSAM samView, std::string* pstrVersion)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, USB_DRIVER_REG_KEY, 0, KEY_QUERY_VALUE | samView, &hKey) != ERROR_SUCCESS)
        return false;
    char szValue[64] = {};
    DWORD nSize = sizeof(szValue) - 1;
    LONG nResult = RegQueryValueExA(hKey, USB_DRIVER_REG_VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(szValue),
                                    &nSize);
    RegCloseKey(hKey);
    *pstrVersion = szValue;
    return nResult == ERROR_SUCCESS;
}

TEST_F(DriverInstallTest, InstallsThePackageForReal)
{
    const int32_t nHostOs = IdentifyHostOs();
    ASSERT_EQ(HOST_OS_WIN7_64, nHostOs);
    ASSERT_FALSE(CheckUsbDriverPresent(nHostOs));
    ASSERT_FALSE(CheckUsbDriverRegistry());
    // A file of the same name left by an earlier run does not get in the way.
    std::ofstream(m_strInstaller, std::ios::binary) << "left over";

    int64_t nStart = Platform::MonotonicMs();
    EXPECT_EQ(USB_DRIVER_INSTALLED, RunCheck(nHostOs));
    std::printf("install: %s opened with the shell, finished after %lld ms\n", m_strInstaller.c_str(),
                static_cast<long long>(Platform::MonotonicMs() - nStart));
    EXPECT_EQ(std::vector<bool>({true, false}), m_busy);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(Platform::FileExists(m_strInstaller.c_str()));

    // The file lands in the native folder: the 32-bit build's file test reaches it by dropping " (x86)",
    // the 64-bit build is given that folder as it is.
    std::string strFile = std::string(WineDriverState::NATIVE_DRIVER_FOLDER) + "\\qzcdbus.sys";
    EXPECT_TRUE(Platform::FileExists(strFile.c_str())) << strFile;
    EXPECT_FALSE(Platform::FileExists("C:\\Program Files (x86)\\VELMORA\\USB Drivers\\03_Kestrelwing\\qzcdbus.sys"));
    EXPECT_TRUE(CheckUsbDriverFile());
    // The value lands in the 32-bit view, which both builds read: a 64-bit wizard reading its own view
    // would install the package again and still not find it.
    std::string strVersion;
    EXPECT_TRUE(ReadVersionInView(KEY_WOW64_32KEY, &strVersion));
    EXPECT_EQ("5.16.0.0", strVersion);
    EXPECT_FALSE(ReadVersionInView(KEY_WOW64_64KEY, &strVersion));
    EXPECT_TRUE(CheckUsbDriverRegistry());
    std::printf("install: \"%s\" present, Version = \"%s\" in the 32-bit view\n", strFile.c_str(),
                strVersion.c_str());

    m_busy.clear();
    EXPECT_EQ(USB_DRIVER_PRESENT, RunCheck(nHostOs));
    EXPECT_EQ(USB_DRIVER_PRESENT, RunCheck(HOST_OS_WIN7_32));
    EXPECT_TRUE(m_busy.empty());

    // The stand-in uninstalls cleanly: no value, no file, no empty folders.
    std::string strPackage = m_strTemp + "krt_uninstall.msi";
    ASSERT_TRUE(ExtractResourceToFile(USB_DRIVER_RESOURCE_ID, strPackage.c_str()));
    std::string strCommand = "msiexec /x \"" + strPackage + "\" /qn";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD dwExit = 1;
    GetExitCodeProcess(process.hProcess, &dwExit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Platform::DeleteFileAt(strPackage.c_str());
    EXPECT_EQ(0u, dwExit);
    EXPECT_FALSE(CheckUsbDriverRegistry());
    EXPECT_FALSE(CheckUsbDriverFile());
    EXPECT_FALSE(Platform::FileExists("C:\\Program Files\\VELMORA"));
    HKEY hKey = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VELMORA\\USB_DRIVER", 0, KEY_READ, &hKey));
}
#else
TEST_F(DriverInstallTest, OffWindowsThePackageIsWrittenAndRemovedButNothingInstalls)
{
    EXPECT_TRUE(InstallUsbDriver());
    EXPECT_FALSE(Platform::FileExists(m_strInstaller.c_str()));

    // The installer file is gone before the user sees the failure.
    bool bInstallerLeft = true;
    Platform::SetMessageSink([&](const std::string& strText, const std::string&) {
        m_messages.push_back(strText);
        bInstallerLeft = Platform::FileExists(m_strInstaller.c_str());
    });
    EXPECT_EQ(USB_DRIVER_FAILED, RunCheck(HOST_OS_UNKNOWN));
    EXPECT_EQ(std::vector<std::string>({"Error Occured! USB Install Fail!"}), m_messages);
    EXPECT_FALSE(bInstallerLeft);
}
#endif

}  // namespace
