#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// tessaly-cli is a set of subcommands. Each lives in its own file and registers itself with a
// static CliCommand object, so adding a command touches no other file.
//
// Exit codes shared by every command (a command adds its own codes from 10 upward and lists
// them in its help text):
namespace CliExit {
constexpr int Ok = 0;
constexpr int Failed = 1; // the command ran and failed (details in its output)
constexpr int Usage = 2;  // bad command line
} // namespace CliExit

// One line on standard output.
void CliPrint(const QString& line);
// Reports a bad command line for `command` on standard error; returns CliExit::Usage.
int CliUsageError(const QString& command, const QString& why);

struct CliCommand {
    using Runner = int (*)(const QStringList& arguments);

    // `arguments` are those after the command's name. `help` is the full help text printed by
    // `tessaly-cli COMMAND --help`; its first line is the one-line summary.
    CliCommand(const char* name, const char* help, Runner run);

    QString name;
    QString help;
    Runner run;

    static const std::vector<const CliCommand*>& All();
};
