#include "netdlg/NetworkSettingsTool.h"

#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

namespace NetworkSettingsTool {

namespace {

// Tried in this order; each is started with its own argument list, never through a shell.
const QList<Command>& Candidates() {
    static const QList<Command> candidates = {
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

#ifdef Q_OS_WIN
bool Open(const QWidget* owner) {
    // The network-connections panel of the control panel, shown normally.
    const HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(window, L"open", L"control.exe", L"ncpa.cpl,,", L"", SW_SHOWNORMAL));
    return result > 32; // smaller values are the call's error codes
}
#else
bool Open(const QWidget*) {
    const std::optional<Command> tool =
        Find([](const QString& name) { return QStandardPaths::findExecutable(name); });
    return tool && QProcess::startDetached(tool->program, tool->arguments);
}
#endif

} // namespace NetworkSettingsTool
