#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The options the link commands (bridge, probe) share: where the R/W is, and where the log goes.
struct CliLinkOptions {
    QString host;
    int port = 9004;
    bool debug = false; // debug log lines, with every byte sent and received
    QString logFile;
    QString bindAddress; // local address for the bridge's UDP port; empty: every one

    // Adds --host, --port, --bind, --debug and --log to `parser`.
    static void Declare(QCommandLineParser& parser, bool withPort);
    // Reads them back after parsing; prints the problem to stderr and returns nothing when the
    // host is not an IPv4 address or the port is out of range.
    static std::optional<CliLinkOptions> Read(const QCommandLineParser& parser);
};

// Reads the value of a "--bind" option at arguments[i + 1] into `bindAddress`, moving `i` past
// it; the usage message when the value is missing or not an IPv4 address.
std::optional<QString> ReadBindOption(const QStringList& arguments, qsizetype& i,
                                      QString& bindAddress);

// Parses `arguments` (those after the command name) for `command`; prints the problem and
// returns false on a bad command line.
bool ParseCliArguments(QCommandLineParser& parser, const QString& command,
                       const QStringList& arguments);
