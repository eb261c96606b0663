// The test peer as a program, for Windows tests under Wine: it links its pty where Wine looks for a
// COM port and answers until it is terminated.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

#include "tests/tools/pty_peer.h"

namespace {
volatile std::sig_atomic_t g_bStop = 0;
void OnSignal(int) { g_bStop = 1; }
}  // namespace

int main(int argc, char** argv)
{
    std::string strLink;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc) {
            strLink = argv[++i];
        }
    }
    CPtyPeer peer;
    if (!peer.Start()) {
        std::fprintf(stderr, "pty_peer: no pty\n");
        return 1;
    }
    if (!strLink.empty()) {
        unlink(strLink.c_str());
        if (symlink(peer.SlavePath().c_str(), strLink.c_str()) != 0) {
            std::perror("pty_peer: symlink");
            return 1;
        }
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::printf("%s\n", peer.SlavePath().c_str());
    std::fflush(stdout);
    while (!g_bStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    peer.Stop();
    if (!strLink.empty()) {
        unlink(strLink.c_str());
    }
    return 0;
}
