#include "netdlg/NetworkSettingsTool.h"

#include <QProcess>
#include <QStandardPaths>

namespace NetworkSettingsTool {

namespace {

// Tried in this order; each is started with its own argument list, never through a shell.
const QList<Command>& Candidates() {
    static const QList<Command> candidates = {
#ifdef Q_OS_WIN
        {QStringLiteral("control.exe"), {QStringLiteral("ncpa.cpl,,")}},
#endif
        {QStringLiteral("nm-connection-editor"), {}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("network")}},
        {QStringLiteral("systemsettings"), {QStringLiteral("kcm_networkmanagement")}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("network")}},
        {QStringLiteral("mate-network-properties"), {}},
    };
    return candidates;
}

} // namespace

std::optional<Command> Find(const std::function<QString(const QString&)>& findExecutable) {
    for (const Command& candidate : Candidates()) {
        const QString path = findExecutable(candidate.program);
        if (!path.isEmpty())
            return Command{path, candidate.arguments};
    }
    return std::nullopt;
}

bool Open() {
    const std::optional<Command> tool =
        Find([](const QString& name) { return QStandardPaths::findExecutable(name); });
    return tool && QProcess::startDetached(tool->program, tool->arguments);
}

} // namespace NetworkSettingsTool
