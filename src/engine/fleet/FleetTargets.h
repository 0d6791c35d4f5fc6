#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One R/W of a fleet run: where it is, and whether it is updated in re-write mode.
struct FleetTarget {
    QString host;
    int port = 9004;
    bool rewrite = false;

    QString Name() const { return host + QLatin1Char(':') + QString::number(port); }
};

// A fleet never takes more R/Ws than this at once.
constexpr int kMaxFleetDevices = 1024;

// "ADDR[:PORT]" as --host and a hosts file line give it; the problem otherwise.
std::optional<QString> ParseFleetHost(const QString& text, FleetTarget& target);

// One line of a list of R/Ws: its number (from 1), and the R/W or what is wrong with it.
struct HostsLine {
    int number = 0;
    FleetTarget target;
    std::optional<QString> problem;
};

// The R/Ws of a list as a hosts file holds them, a line each (blank lines and comments left
// out): the window takes the good ones and names the others by their line.
std::vector<HostsLine> ParseHostsText(const QString& text);

// A hosts file: one R/W a line, "ADDR[:PORT] [boot]"; "#" starts a comment, blank lines are
// skipped. The problem names the file and the line.
std::optional<QString> ReadHostsFile(const QString& fileName, std::vector<FleetTarget>& targets);

// The whole list: at least one R/W, at most kMaxFleetDevices, no address twice (the bridge
// replies of two R/Ws at one address could not be told apart).
std::optional<QString> CheckFleetTargets(const std::vector<FleetTarget>& targets);
