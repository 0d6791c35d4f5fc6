// TessalyChip: the CHIP updater the program hands the R/W to after the control firmware.
// This substitute validates its command line and reports what it was asked to do; the CHIP
// itself takes its new version from the R/W's control firmware when the program sends the
// follow-up command.
#include "ChipCommandLine.h"

#include <cstdio>

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
    return 0;
}
