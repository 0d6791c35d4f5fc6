#include "cli/CliCommand.h"

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
