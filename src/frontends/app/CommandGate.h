#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QMenu;

// One wait at a time in the window. While the connection procedure, an update or a diagnostic
// command waits for the R/W, every command that would start work of its own inside that wait
// (another wait, or a dialog whose loop would hold the wait up) is disabled. When the wait
// ends the commands come back as their own rules have them: the update commands stay off
// after a failed update, whatever they were before it.
class CommandGate {
public:
    // A command that is refused only while a wait runs.
    void AddCommand(QAction* action);
    // An update command: refused while a wait runs, otherwise as SetUpdateCommandsAllowed says.
    void AddUpdateCommand(QAction* action);
    void AddUpdateCommand(QMenu* menu);
    void SetUpdateCommandsAllowed(bool allowed);

    bool WaitRunning() const { return depth_ > 0; }

    // Marks the lifetime of one wait; a scope inside another (the connection procedure inside
    // an update command) changes nothing until the outer one ends.
    class Scope {
    public:
        explicit Scope(CommandGate& gate);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CommandGate& gate_;
    };
    // `work` as one wait.
    void Run(const std::function<void()>& work);

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
