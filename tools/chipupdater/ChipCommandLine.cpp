#include "ChipCommandLine.h"

#include <cstdlib>

namespace {

bool ParseDecimal(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 5)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    const int v = std::atoi(text.c_str());
    if (v < low || v > high)
        return false;
    out = v;
    return true;
}

bool ParseIpv4(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? dot : dot - start);
        int v = 0;
        if (part.size() > 3 || !ParseDecimal(part, 0, 255, v))
            return false;
        ++parts;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts == 4;
}

} // namespace

std::optional<ChipCommandLine> ParseChipCommandLine(const std::vector<std::string>& args,
                                                    std::string& error) {
    ChipCommandLine cmd;
    std::size_t i = 0;
    if (i < args.size() && args[i] == "-BOOT") {
        cmd.bootMode = true;
        ++i;
    }
    if (i >= args.size() || args[i] != "-IP") {
        error = "expected -IP or -BOOT -IP";
        return std::nullopt;
    }
    ++i;
    if (args.size() - i != 4) {
        error = "expected four values after -IP: fTCPServer TCPPort TCPServPort TCPServAddr";
        return std::nullopt;
    }
    if (!ParseDecimal(args[i], 0, 1, cmd.tcpServer)) {
        error = "fTCPServer must be 0 or 1: " + args[i];
        return std::nullopt;
    }
    if (!ParseDecimal(args[i + 1], 0, 65535, cmd.tcpPort)) {
        error = "TCPPort must be a port number: " + args[i + 1];
        return std::nullopt;
    }
    if (!ParseDecimal(args[i + 2], 0, 65535, cmd.tcpServPort)) {
        error = "TCPServPort must be a port number: " + args[i + 2];
        return std::nullopt;
    }
    if (!ParseIpv4(args[i + 3])) {
        error = "TCPServAddr must be a dotted IPv4 address: " + args[i + 3];
        return std::nullopt;
    }
    cmd.tcpServAddr = args[i + 3];
    return cmd;
}
