// TessalyChip: the CHIP updater the program hands the R/W to after the control firmware.
// This substitute validates its command line and reports what it was asked to do; the CHIP
// itself takes its new version from the R/W's control firmware when the program sends the
// follow-up command. TESSALY_CHIP_SECONDS (at most 600) makes it take that long, as a real
// CHIP update does.
#include "ChipCommandLine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto cmd = ParseChipCommandLine(args, error);
    if (!cmd) {
        std::fprintf(stderr, "TessalyChip: %s\n", error.c_str());
        std::fprintf(stderr,
                     "usage: TessalyChip [-BOOT] -IP fTCPServer TCPPort TCPServPort TCPServAddr\n");
        return 2;
    }
    std::printf("TessalyChip: CHIP update of the R/W at %s, TCP port %d (%s), port %d, %s\n",
                cmd->tcpServAddr.c_str(), cmd->tcpServPort,
                cmd->tcpServer ? "R/W is client" : "R/W is server", cmd->tcpPort,
                cmd->bootMode ? "through the CHIP boot loader" : "CHIP answering");
    if (const char* seconds = std::getenv("TESSALY_CHIP_SECONDS")) {
        const long wait = std::strtol(seconds, nullptr, 10);
        std::printf("TessalyChip: process %ld, %ld s\n", static_cast<long>(getpid()), wait);
        std::fflush(stdout);
        if (wait > 0 && wait <= 600)
            std::this_thread::sleep_for(std::chrono::seconds(wait));
    }
    return 0;
}
