// The krt-devsim program as a user runs it: options, the link, the transcript, verification and exit codes.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "download/engine_state.h"
#include "download/protocol.h"
#include "download/reply_wait.h"
#include "platform/clock.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"
#include "tests/sim/sim_test_support.h"

using namespace SimTest;

namespace {

struct ProgramResult {
    int nExit = -1;
    std::string strOutput;
};

class DevsimProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szDir[] = "/tmp/krt-devsim-test-XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        m_strDir = szDir;
        m_strLink = m_strDir + "/com5";
        Platform::SetTimeScale(0.1);
    }
    void TearDown() override
    {
        CloseHost();
        if (m_nPid > 0) {
            kill(m_nPid, SIGKILL);  // a test that failed half-way leaves the program waiting
            waitpid(m_nPid, nullptr, 0);
        }
        if (m_nOutput >= 0) {
            close(m_nOutput);
        }
        std::string strCommand = "rm -rf '" + m_strDir + "'";
        EXPECT_EQ(system(strCommand.c_str()), 0);
        Platform::SetTimeScale(1.0);
    }

    void Launch(const std::string& strArgs)
    {
        std::string strCommand = std::string("exec '") + KRT_DEVSIM_PATH + "' --link '" + m_strLink + "' " + strArgs + " 2>&1";
        int anPipe[2];
        ASSERT_EQ(pipe(anPipe), 0);
        m_nPid = fork();
        ASSERT_GE(m_nPid, 0);
        if (m_nPid == 0) {
            dup2(anPipe[1], STDOUT_FILENO);
            close(anPipe[0]);
            close(anPipe[1]);
            execl("/bin/sh", "sh", "-c", strCommand.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(anPipe[1]);
        m_nOutput = anPipe[0];
        ASSERT_TRUE(WaitForOutput("krt-devsim: device on /dev/pts/")) << m_strOutput;
        struct stat st{};
        ASSERT_EQ(lstat(m_strLink.c_str(), &st), 0);
        ASSERT_TRUE(S_ISLNK(st.st_mode));
    }
    // Reads the program's output until it holds strText after position nFrom; false after 10 s or at its end.
    bool WaitForOutput(const std::string& strText, size_t nFrom = 0)
    {
        const int64_t nDeadline = Platform::MonotonicMs() + 10000;
        while (m_strOutput.find(strText, nFrom) == std::string::npos) {
            pollfd pfd{m_nOutput, POLLIN, 0};
            const int64_t nLeft = nDeadline - Platform::MonotonicMs();
            if (nLeft <= 0 || poll(&pfd, 1, static_cast<int>(nLeft)) <= 0) {
                return false;
            }
            char szBuffer[4096];
            const ssize_t nRead = read(m_nOutput, szBuffer, sizeof(szBuffer));
            if (nRead <= 0) {
                return false;
            }
            m_strOutput.append(szBuffer, static_cast<size_t>(nRead));
        }
        return true;
    }
    ProgramResult Finish()
    {
        ProgramResult result;
        char szBuffer[4096];
        ssize_t nRead = 0;
        while ((nRead = read(m_nOutput, szBuffer, sizeof(szBuffer))) > 0) {
            m_strOutput.append(szBuffer, static_cast<size_t>(nRead));
        }
        int nStatus = 0;
        waitpid(m_nPid, &nStatus, 0);
        m_nPid = -1;
        result.strOutput = m_strOutput;
        result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        return result;
    }
    void OpenHost()
    {
        m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_strLink);
        ASSERT_GT(m_nPort, 0);
        DetectedPort = static_cast<uint8_t>(m_nPort);
        ASSERT_TRUE(InitComPort()) << MessageText;
    }
    void CloseHost()
    {
        CBaseComm::Discard(g_pComm);
        if (m_nPort) {
            Platform::UnregisterSerialPort(m_nPort);
            m_nPort = 0;
        }
    }
    // Ten times the protocol's longest step time-out: the wait ends with the reply, and a loaded machine (a
    // sanitizer build, other builds beside) may take a while to deliver it.
    bool Command(const std::function<void()>& fnSend, uint32_t nTimeoutMs = 50000)
    {
        fnSend();
        return IsReplySuccess(WaitForReply(nTimeoutMs));
    }
    // Flashes partitions 4 on of the container, one attempt per command, and resets the device.
    void FlashAndReset(const std::vector<uint8_t>& container, int nPartitions)
    {
        ASSERT_TRUE(Command([] { g_pComm->SendStartupCmd(0); }));
        for (int i = 4; i < nPartitions; ++i) {
            std::vector<uint8_t> data = PartitionData(container, i);
            const uint32_t dwStart = PartitionFlashStart(container, i);
            const uint32_t dwErase = static_cast<uint32_t>((data.size() + 16383) & ~size_t{16383});
            ASSERT_TRUE(Command([&] { g_pComm->SendEraseCmd(dwStart, dwErase, 1); }));
            data.resize(dwErase, 0xFF);
            for (uint32_t dwAt = 0, nTag = 2; dwAt < dwErase; dwAt += 16384, ++nTag) {
                ASSERT_TRUE(Command([&] {
                    g_pComm->SendWriteCmd(dwStart + dwAt, 0x4000, data.data() + dwAt, static_cast<uint8_t>(nTag % 4));
                }));
            }
        }
        ASSERT_TRUE(Command([] { g_pComm->SendCloseUsbCmd(1); }));
        ASSERT_TRUE(Command([] { g_pComm->SendStartupCmd(0); }));
        ASSERT_TRUE(Command([] { g_pComm->SendRebuildCmd(1); }));
        ASSERT_TRUE(Command([] { g_pComm->SendResetCmd(2); }));
    }
    std::string WriteFile(const std::string& strName, const std::vector<uint8_t>& bytes)
    {
        std::string strPath = m_strDir + "/" + strName;
        std::ofstream(strPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
        return strPath;
    }

    std::string m_strDir;
    std::string m_strLink;
    pid_t m_nPid = -1;
    int m_nOutput = -1;
    std::string m_strOutput;
    int m_nPort = 0;
};

}  // namespace

TEST_F(DevsimProgramTest, VerifiesTheFlashAfterTheRunAndPrintsTheTranscript)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    const std::string strImage = WriteFile("image.bin", container);
    Launch("--transcript --time-scale 0.1 --verify '" + strImage + "'");
    OpenHost();
    FlashAndReset(container, 7);
    ProgramResult result = Finish();
    EXPECT_EQ(result.nExit, 0) << result.strOutput;
    EXPECT_NE(result.strOutput.find("krt-devsim: device on /dev/pts/"), std::string::npos) << result.strOutput;
    EXPECT_NE(result.strOutput.find("tag 2  write    addr 0x00028000  len 0x00004000  crc ok   -> 2"),
              std::string::npos)
        << result.strOutput;
    EXPECT_NE(result.strOutput.find("reset"), std::string::npos);
    EXPECT_NE(result.strOutput.find("14 frames received, 14 answered, 1 run(s) ended"), std::string::npos)
        << result.strOutput;
    EXPECT_NE(result.strOutput.find("verification passed"), std::string::npos) << result.strOutput;
    struct stat st{};
    EXPECT_NE(lstat(m_strLink.c_str(), &st), 0) << "the link goes with the device";
}

TEST_F(DevsimProgramTest, ExitsNonZeroAndSaysWhatDiffersWhenTheFlashIsWrong)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    std::vector<uint8_t> expected = container;
    expected[1024 + 2112 * 60 + 100] ^= 0x01;  // a data byte of DSP1's second block
    const std::string strImage = WriteFile("expected.bin", expected);
    Launch("--time-scale 0.1 --verify '" + strImage + "'");
    OpenHost();
    FlashAndReset(container, 7);
    ProgramResult result = Finish();
    EXPECT_EQ(result.nExit, 1) << result.strOutput;
    EXPECT_NE(result.strOutput.find("DSP15: 1 of 61440 data bytes differ"), std::string::npos) << result.strOutput;
    EXPECT_NE(result.strOutput.find("AMSS4: ok"), std::string::npos) << result.strOutput;
    EXPECT_NE(result.strOutput.find("verification FAILED"), std::string::npos) << result.strOutput;
}

TEST_F(DevsimProgramTest, ServesSeveralRunsOnFreshPtysBehindTheSameLink)
{
    Launch("--runs 2 --time-scale 0.1 --status erase=5:first=1");
    for (int nRun = 0; nRun < 2; ++nRun) {
        if (nRun > 0) {
            // After the hang-up the link moves to the next pty (which may well reuse the number).
            ASSERT_TRUE(WaitForOutput("krt-devsim: device back on /dev/pts/")) << m_strOutput;
        }
        OpenHost();
        ASSERT_TRUE(Command([] { g_pComm->SendStartupCmd(0); }));
        g_pComm->SendEraseCmd(0x00300000, 0x4000, 1);
        ASSERT_EQ(WaitForReply(2000), REPLY_OK);
        EXPECT_EQ(ReplyStatus(), nRun == 0 ? 5 : 2);  // the fault hits the first erase of the program's life
        ASSERT_TRUE(Command([] { g_pComm->SendCloseUsbCmd(1); }));
        ASSERT_TRUE(Command([] { g_pComm->SendResetCmd(2); }));  // no rebuild: straight to the reset
        CloseHost();
    }
    ProgramResult result = Finish();
    EXPECT_EQ(result.nExit, 0) << result.strOutput;
    EXPECT_NE(result.strOutput.find("device back on /dev/pts/"), std::string::npos) << result.strOutput;
    EXPECT_NE(result.strOutput.find("fault: status 5 for erase (first 1)"), std::string::npos) << result.strOutput;
    EXPECT_NE(result.strOutput.find("2 run(s) ended"), std::string::npos) << result.strOutput;
}

TEST(DevsimProgram, HelpDocumentsEveryOptionAndBadOptionsAreRefused)
{
    FILE* pPipe = popen("'" KRT_DEVSIM_PATH "' --help 2>&1", "r");
    ASSERT_NE(pPipe, nullptr);
    std::string strHelp;
    char szBuffer[4096];
    size_t nRead = 0;
    while ((nRead = fread(szBuffer, 1, sizeof(szBuffer), pPipe)) > 0) {
        strHelp.append(szBuffer, nRead);
    }
    EXPECT_EQ(WEXITSTATUS(pclose(pPipe)), 0);
    for (const char* pszOption : {"--link", "--runs", "--transcript", "--verify", "--no-reply", "--status", "--delay",
                                  "--bad-crc", "--split", "--garbage", "--unplug-after", "--throttle", "--latency",
                                  "--reboot-ms", "--time-scale", "trailing-flag", "after-tag", "extra-byte",
                                  "leading-7f", "first=N", "every=K"}) {
        EXPECT_NE(strHelp.find(pszOption), std::string::npos) << pszOption;
    }
    EXPECT_EQ(WEXITSTATUS(system("'" KRT_DEVSIM_PATH "' --delay write 2>/dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(system("'" KRT_DEVSIM_PATH "' --split sideways 2>/dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(system("'" KRT_DEVSIM_PATH "' --verify /nonexistent/image.bin 2>/dev/null")), 2);
}
