#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <optional>

// How every tessaly-cli command reads its command line: its options declared on Qt's
// QCommandLineParser (the meaning of each is in the command's help text), its values checked by
// the readers below, and every problem said the same way (CliUsageError, exit code 2).

// Parses `arguments` (those after the command's name) allowing at most `positional` other
// words; the problem for a bad command line.
std::optional<QString> ParseCliOptions(QCommandLineParser& parser, const QStringList& arguments,
                                       int positional = 0);

namespace CliOption {

// Declares --NAME, taking a value when `value` is given.
void Declare(QCommandLineParser& parser, const QString& name, const QString& value = {});
// Declares the `flags` and the options that take a value.
void Declare(QCommandLineParser& parser, std::initializer_list<const char*> flags,
             std::initializer_list<const char*> valued);
// The first of the readers' problems, if any.
std::optional<QString> FirstProblem(std::initializer_list<std::optional<QString>> problems);

// Each reads --NAME into `out` when it was given (nothing else changes `out`), and returns the
// problem for a value that does not fit.
std::optional<QString> Ipv4(const QCommandLineParser& parser, const QString& name, QString& out);
std::optional<QString> Number(const QCommandLineParser& parser, const QString& name, int min,
                              int max, int& out);
// --kind: rx231, rx630 or rx63t, any case.
std::optional<QString> Kind(const QCommandLineParser& parser, std::int32_t& out);
// --chip-timeout in seconds, as the time limit in milliseconds.
std::optional<QString> ChipTimeout(const QCommandLineParser& parser, int& limitMs);

} // namespace CliOption

// What the link commands (bridge, probe) share: where the R/W is, and where the log goes.
struct CliLinkOptions {
    QString host;
    int port = 9004;
    bool debug = false; // debug log lines, with every byte sent and received
    QString logFile;
    QString bindAddress; // local address for the bridge's UDP port; empty: every one

    // Declares --host, --port (with `withPort`), --bind, --debug and --log.
    static void Declare(QCommandLineParser& parser, bool withPort);
    // Reads them back; the problem when the host is missing or not an IPv4 address, or a
    // value does not fit.
    static std::optional<QString> Read(const QCommandLineParser& parser, CliLinkOptions& options);
};
