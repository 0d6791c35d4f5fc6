#include "cli/CliCommand.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs("usage: tessaly-cli COMMAND [options]\n"
               "       tessaly-cli COMMAND --help\n"
               "       tessaly-cli --version\n\n"
               "commands:\n",
               out);
    std::vector<const CliCommand*> commands = CliCommand::All();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand* a, const CliCommand* b) { return a->name < b->name; });
    for (const CliCommand* c : commands) {
        const QString summary = c->help.section(QLatin1Char('\n'), 0, 0);
        std::fprintf(out, "  %-8s %s\n", c->name.toUtf8().constData(),
                     summary.toUtf8().constData());
    }
    std::fputs("\nexit codes: 0 success, 1 failure, 2 bad command line; "
               "each command's help lists its own codes.\n",
               out);
}

} // namespace

int main(int argc, char** argv) {
    // Qt's own event dispatcher rather than GLib's: a fleet runs hundreds of event loops that
    // wake for every reply, and the plainer one costs less per wake-up.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        PrintUsage(stderr);
        return CliExit::Usage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        PrintUsage(stdout);
        return CliExit::Ok;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-V")) {
        std::puts("tessaly-cli " TESSALY_VERSION);
        return CliExit::Ok;
    }
    for (const CliCommand* c : CliCommand::All()) {
        if (c->name != name)
            continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            std::fputs(c->help.toUtf8().constData(), stdout);
            std::fputs("\n", stdout);
            return CliExit::Ok;
        }
        return c->run(args);
    }
    std::fprintf(stderr, "tessaly-cli: unknown command '%s'\n\n", name.toUtf8().constData());
    PrintUsage(stderr);
    return CliExit::Usage;
}
