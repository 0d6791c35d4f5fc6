#include "cli/CliCommand.h"

#include <cstdio>

namespace {
std::vector<const CliCommand*>& Registry() {
    static std::vector<const CliCommand*> commands;
    return commands;
}
} // namespace

CliCommand::CliCommand(const char* name_, const char* help_, Runner run_)
    : name(QString::fromUtf8(name_)), help(QString::fromUtf8(help_)), run(run_) {
    Registry().push_back(this);
}

const std::vector<const CliCommand*>& CliCommand::All() {
    return Registry();
}

void CliPrint(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

int CliUsageError(const QString& command, const QString& why) {
    std::fprintf(stderr, "tessaly-cli %s: %s\n(see tessaly-cli %s --help)\n",
                 command.toUtf8().constData(), why.toUtf8().constData(),
                 command.toUtf8().constData());
    return CliExit::Usage;
}
