#include "cli/child_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

struct CChildProcesses::Impl {
    struct Child {
        pid_t nPid = -1;
        int nPipe = -1;       // read end; -1 once the child closed its end
        std::string strPartial;  // a line not yet complete
        bool bReported = false;
    };
    std::vector<Child> children;
};

CChildProcesses::CChildProcesses() : m_pImpl(std::make_unique<Impl>()) {}

CChildProcesses::~CChildProcesses()
{
    // Children are never left behind unwaited: ask them to stop and collect them.
    for (Impl::Child& child : m_pImpl->children) {
        if (child.nPipe >= 0) {
            close(child.nPipe);
        }
        if (!child.bReported && child.nPid > 0) {
            kill(child.nPid, SIGINT);
            int nStatus = 0;
            waitpid(child.nPid, &nStatus, 0);
        }
    }
}

bool CChildProcesses::Start(const std::string& strProgram, const std::vector<std::string>& args,
                            std::string* pstrError)
{
    int fds[2];
    // Close-on-exec on both ends: no child inherits another child's pipe, which would keep it open.
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *pstrError = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(strProgram.c_str()));
    for (const std::string& strArg : args) {
        argv.push_back(const_cast<char*>(strArg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t nPid = -1;
    const int nError = posix_spawn(&nPid, strProgram.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (nError != 0) {
        close(fds[0]);
        *pstrError = "cannot start " + strProgram + ": " + std::strerror(nError);
        return false;
    }
    Impl::Child child;
    child.nPid = nPid;
    child.nPipe = fds[0];
    m_pImpl->children.push_back(child);
    return true;
}

bool CChildProcesses::Wait(unsigned nTimeoutMs, const LineFn& fnLine, const ExitFn& fnExit)
{
    std::vector<pollfd> fds;
    std::vector<size_t> owners;
    for (size_t i = 0; i < m_pImpl->children.size(); ++i) {
        if (m_pImpl->children[i].nPipe >= 0) {
            fds.push_back({m_pImpl->children[i].nPipe, POLLIN, 0});
            owners.push_back(i);
        }
    }
    if (!fds.empty() && poll(fds.data(), fds.size(), static_cast<int>(nTimeoutMs)) < 0 && errno != EINTR) {
        return false;
    }
    for (size_t k = 0; k < fds.size(); ++k) {
        if ((fds[k].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        Impl::Child& child = m_pImpl->children[owners[k]];
        char buffer[16384];
        const ssize_t nRead = read(child.nPipe, buffer, sizeof(buffer));
        if (nRead < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (nRead > 0) {
            child.strPartial.append(buffer, static_cast<size_t>(nRead));
            size_t nStart = 0;
            for (size_t nEnd; (nEnd = child.strPartial.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
                fnLine(owners[k], child.strPartial.substr(nStart, nEnd - nStart));
            }
            child.strPartial.erase(0, nStart);
            continue;
        }
        // End of the pipe: the child is gone or going; what is left is its last line.
        close(child.nPipe);
        child.nPipe = -1;
        if (!child.strPartial.empty()) {
            fnLine(owners[k], child.strPartial);
            child.strPartial.clear();
        }
    }
    bool bAnyLeft = false;
    for (size_t i = 0; i < m_pImpl->children.size(); ++i) {
        Impl::Child& child = m_pImpl->children[i];
        if (child.bReported) {
            continue;
        }
        if (child.nPipe >= 0) {
            bAnyLeft = true;
            continue;
        }
        int nStatus = 0;
        // The pipe closed; the exit itself follows at once (or the child closed its output early).
        const pid_t nDone = waitpid(child.nPid, &nStatus, fds.empty() ? 0 : WNOHANG);
        if (nDone == 0) {
            bAnyLeft = true;
            continue;
        }
        child.bReported = true;
        int nExit = 1;
        if (nDone == child.nPid && WIFEXITED(nStatus)) {
            nExit = WEXITSTATUS(nStatus);
        } else if (nDone == child.nPid && WIFSIGNALED(nStatus)) {
            nExit = 128 + WTERMSIG(nStatus);
        }
        fnExit(i, nExit);
    }
    return bAnyLeft;
}

void CChildProcesses::Interrupt()
{
    for (const Impl::Child& child : m_pImpl->children) {
        if (!child.bReported && child.nPid > 0) {
            kill(child.nPid, SIGINT);
        }
    }
}
