#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The desktop's own tool for the network connections, opened by "ネットワーク接続...".
namespace NetworkSettingsTool {

struct Command {
    QString program;
    QStringList arguments;
};

// The first known tool that is installed, looking programs up with `findExecutable` (returns
// the full path or an empty text); nothing when none is installed.
std::optional<Command> Find(const std::function<QString(const QString&)>& findExecutable);

// Starts the installed tool detached from this program. False when there is none or it could
// not be started; the caller tells the operator.
bool Open();

} // namespace NetworkSettingsTool
