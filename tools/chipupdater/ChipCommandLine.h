#pragma once

#include <optional>
#include <string>
#include <vector>

// What the updater is asked to do: "-IP" or "-BOOT -IP", then fTCPServer, TCPPort,
// TCPServPort and TCPServAddr.
struct ChipCommandLine {
    bool bootMode = false; // the CHIP did not answer: start it through its boot loader
    int tcpServer = 0;     // 0: the R/W is the TCP server, 1: it is the client
    int tcpPort = 0;
    int tcpServPort = 0;
    std::string tcpServAddr;
};

// Parses the arguments after the program name; on failure `error` says what is wrong.
std::optional<ChipCommandLine> ParseChipCommandLine(const std::vector<std::string>& args,
                                                    std::string& error);
