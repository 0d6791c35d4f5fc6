#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// The desktop's own tool for the network connections, opened by "ネットワーク接続...": on
// Windows the control panel's network connections ("control.exe ncpa.cpl"), elsewhere the
// first installed one of the known desktop tools.
namespace NetworkSettingsTool {

struct Command {
    QString program;
    QStringList arguments;
};

// The first known tool that is installed, looking programs up with `findExecutable` (returns
// the full path or an empty text); nothing when none is installed.
std::optional<Command> Find(const std::function<QString(const QString&)>& findExecutable);

// Starts the tool detached from this program, for `owner`'s window. False when there is none
// or it could not be started; the caller tells the operator.
bool Open(const QWidget* owner = nullptr);

} // namespace NetworkSettingsTool
