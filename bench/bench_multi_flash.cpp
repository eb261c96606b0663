// Several devices at once against one: flashes the image into one simulated device with krt-flash, then
// into N at once (krt-flash --port given N times, which runs one krt-flash per device), and prints the wall
// times, their ratio, and the CPU time of the parent krt-flash itself against that of the programs it runs.
// The parent's own time is read from /proc/<pid>/stat while it runs (its last sample is taken at most
// 20 ms before it exits); the whole tree's comes from wait4. The machine's load average is printed too.
//   bench_multi_flash KRT_FLASH KRT_DEVSIM [DEVICES [ROUNDS [IMAGE]]]
// KRT_TIME_SCALE in the environment applies to krt-flash and, as --time-scale, to the simulated devices.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::string& strOutput)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, strOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& strArg : args) {
        argv.push_back(const_cast<char*>(strArg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t nPid = -1;
    if (posix_spawn(&nPid, args[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        nPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return nPid;
}

// utime + stime of the process itself, in seconds.
double SelfCpuSeconds(pid_t nPid)
{
    std::ifstream stat("/proc/" + std::to_string(nPid) + "/stat");
    std::string strStat((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t nParen = strStat.rfind(')');
    if (nParen == std::string::npos) {
        return -1.0;
    }
    // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
    std::vector<std::string> fields;
    size_t nPos = nParen + 2;
    while (nPos < strStat.size() && fields.size() < 13) {
        const size_t nEnd = strStat.find(' ', nPos);
        fields.push_back(strStat.substr(nPos, nEnd - nPos));
        nPos = nEnd == std::string::npos ? strStat.size() : nEnd + 1;
    }
    if (fields.size() < 13) {
        return -1.0;
    }
    const double dTicks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) / dTicks;
}

std::string LoadAverage()
{
    std::ifstream load("/proc/loadavg");
    std::string strOne, strFive, strFifteen;
    load >> strOne >> strFive >> strFifteen;
    return strOne + " " + strFive + " " + strFifteen;
}

struct RunResult {
    bool bOk = false;
    double dWall = 0.0;
    double dParentCpu = 0.0;  // the krt-flash the bench started, alone
    double dTreeCpu = 0.0;    // it and every program it ran
};

RunResult FlashDevices(const std::string& strFlash, const std::string& strDevsim, int nDevices,
                       const std::string& strImage, const std::string& strWork)
{
    RunResult result;
    const char* pszScale = std::getenv("KRT_TIME_SCALE");
    std::vector<pid_t> devices;
    std::vector<std::string> flashArgs = {strFlash};
    for (int i = 0; i < nDevices; ++i) {
        const std::string strLink = strWork + "/dev" + std::to_string(i);
        unlink(strLink.c_str());
        std::vector<std::string> args = {strDevsim, "--link", strLink, "--verify", strImage};
        if (pszScale != nullptr) {
            args.push_back("--time-scale");
            args.push_back(pszScale);
        }
        devices.push_back(Spawn(args, strWork + "/dev" + std::to_string(i) + ".out"));
        for (int k = 0; k < 200 && access(strLink.c_str(), F_OK) != 0; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        flashArgs.push_back("--port");
        flashArgs.push_back(strLink);
    }
    flashArgs.push_back("--image");
    flashArgs.push_back(strImage);

    const auto start = std::chrono::steady_clock::now();
    const pid_t nFlash = Spawn(flashArgs, strWork + "/flash.out");
    int nStatus = 0;
    struct rusage usage = {};
    for (;;) {
        const double dSample = SelfCpuSeconds(nFlash);
        const pid_t nDone = wait4(nFlash, &nStatus, WNOHANG, &usage);
        if (nDone == nFlash) {
            break;
        }
        if (dSample >= 0.0) {
            result.dParentCpu = dSample;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.dTreeCpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.bOk = WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
    for (pid_t nDevice : devices) {
        int nDeviceStatus = 0;
        waitpid(nDevice, &nDeviceStatus, 0);
        result.bOk = result.bOk && WIFEXITED(nDeviceStatus) && WEXITSTATUS(nDeviceStatus) == 0;
    }
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s KRT_FLASH KRT_DEVSIM [DEVICES [ROUNDS [IMAGE]]]\n", argv[0]);
        return 2;
    }
    const std::string strFlash = argv[1];
    const std::string strDevsim = argv[2];
    const int nDevices = argc > 3 ? std::atoi(argv[3]) : 4;
    const int nRounds = argc > 4 ? std::atoi(argv[4]) : 1;
    char szWork[] = "/tmp/bench_multi_flash.XXXXXX";
    if (mkdtemp(szWork) == nullptr) {
        return 1;
    }
    std::string strImage = argc > 5 ? argv[5] : "";
    if (strImage.empty()) {
        // The shipped image, as the build made it beside the simulator.
        strImage = strDevsim.substr(0, strDevsim.rfind("/sim/")) + "/resources/mkimage/CorvidT_firmware.bin";
    }
    std::printf("image %s, %d devices, %d rounds, %d CPUs, load average before: %s\n", strImage.c_str(), nDevices,
                nRounds, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)), LoadAverage().c_str());
    bool bAllOk = true;
    for (int nRound = 1; nRound <= nRounds; ++nRound) {
        const RunResult one = FlashDevices(strFlash, strDevsim, 1, strImage, szWork);
        const RunResult many = FlashDevices(strFlash, strDevsim, nDevices, strImage, szWork);
        bAllOk = bAllOk && one.bOk && many.bOk;
        std::printf("round %d: 1 device %.1f s%s; %d devices %.1f s%s (%.2f x); parent CPU %.3f s = %.2f%% of one core, "
                    "the devices' krt-flash programs %.1f s; load average %s\n",
                    nRound, one.dWall, one.bOk ? "" : " FAILED", nDevices, many.dWall, many.bOk ? "" : " FAILED",
                    many.dWall / one.dWall, many.dParentCpu, 100.0 * many.dParentCpu / many.dWall,
                    many.dTreeCpu - many.dParentCpu, LoadAverage().c_str());
        std::fflush(stdout);
    }
    std::string strCommand = std::string("rm -rf ") + szWork;
    if (std::system(strCommand.c_str()) != 0) {
        std::fprintf(stderr, "could not remove %s\n", szWork);
    }
    return bAllOk ? 0 : 1;
}
