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

CommandGate::Scope::Scope(CommandGate& gate) : gate_(gate) {
    if (gate_.depth_++ == 0)
        gate_.Apply();
}

CommandGate::Scope::~Scope() {
    if (--gate_.depth_ == 0)
        gate_.Apply();
}

void CommandGate::Run(const std::function<void()>& work) {
    const Scope wait(*this);
    work();
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
