#pragma once
// The programs a multi-device run starts, one per device, each with its standard output and error in one
// pipe that the parent reads line by line. POSIX waits on all pipes at once with poll; Windows reads each
// pipe on a thread of its own. One file per system (child_processes_posix.cpp, child_processes_win32.cpp).
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CChildProcesses {
public:
    using LineFn = std::function<void(size_t nChild, const std::string& strLine)>;
    // nStatus: the exit status, or 128 + the signal's number for a child ended by a signal.
    using ExitFn = std::function<void(size_t nChild, int nStatus)>;

    CChildProcesses();
    ~CChildProcesses();
    CChildProcesses(const CChildProcesses&) = delete;
    CChildProcesses& operator=(const CChildProcesses&) = delete;

    // Starts strProgram with the arguments; the child's number is its position in the order of starts.
    // On Windows each child gets a temporary folder of its own (TMP, TEMP), since staging there uses fixed
    // file names; on POSIX every process makes a private one already.
    bool Start(const std::string& strProgram, const std::vector<std::string>& args, std::string* pstrError);

    // Waits up to nTimeoutMs for output or an exit, then hands over every complete line and every exit
    // (a child's exit comes after its last line). False once every child has exited and been reported.
    bool Wait(unsigned nTimeoutMs, const LineFn& fnLine, const ExitFn& fnExit);

    // Asks every child still running to stop as on Ctrl-C; they clean up and exit by themselves.
    void Interrupt();

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
