#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;

// One wait at a time in the window. While the connection procedure, an update or a diagnostic
// command waits for the R/W on the device's thread, every command that would start work of its
// own meanwhile (another wait, or a dialog) is disabled. When the wait ends the commands come
// back as their own rules have them: the update commands stay off after a failed update,
// whatever they were before it.
class CommandGate {
public:
    // A command that is refused only while a wait runs.
    void AddCommand(QAction* action);
    // An update command: refused while a wait runs, otherwise as SetUpdateCommandsAllowed says.
    void AddUpdateCommand(QAction* action);
    void AddUpdateCommand(QMenu* menu);
    void SetUpdateCommandsAllowed(bool allowed);

    bool WaitRunning() const { return depth_ > 0; }

    // One wait begins (the connection procedure, an update, a diagnostic command, a firmware
    // file being read) and ends; waits may overlap, and the commands come back when the last
    // one has ended.
    void Begin();
    void End();

private:
    void Apply();

    QList<QPointer<QAction>> commands_;
    QList<QPointer<QAction>> updateActions_;
    QList<QPointer<QMenu>> updateMenus_;
    bool updateAllowed_ = true;
    int depth_ = 0;
};

// Debug lines for what is ignored rather than disabled while a wait runs.
namespace CommandGateText {
inline const QString kDropRefused =
    QStringLiteral("処理中のため、ドロップされたファイルは読み込みません");
inline const QString kMenuRefused = QStringLiteral("処理中のため、メニューは開きません");
} // namespace CommandGateText
