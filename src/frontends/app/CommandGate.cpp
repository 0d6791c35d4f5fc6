#include "app/CommandGate.h"

#include <QAction>
#include <QMenu>

void CommandGate::AddCommand(QAction* action) {
    commands_.append(action);
    Apply();
}

void CommandGate::AddUpdateCommand(QAction* action) {
    updateActions_.append(action);
    Apply();
}

void CommandGate::AddUpdateCommand(QMenu* menu) {
    updateMenus_.append(menu);
    Apply();
}

void CommandGate::SetUpdateCommandsAllowed(bool allowed) {
    updateAllowed_ = allowed;
    Apply();
}

void CommandGate::Begin() {
    if (depth_++ == 0)
        Apply();
}

void CommandGate::End() {
    if (--depth_ == 0)
        Apply();
}

void CommandGate::Apply() {
    const bool free = depth_ == 0;
    for (QAction* action : std::as_const(commands_))
        if (action)
            action->setEnabled(free);
    const bool update = free && updateAllowed_;
    for (QAction* action : std::as_const(updateActions_))
        if (action)
            action->setEnabled(update);
    for (QMenu* menu : std::as_const(updateMenus_))
        if (menu)
            menu->setEnabled(update);
}
