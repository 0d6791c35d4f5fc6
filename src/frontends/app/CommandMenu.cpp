#include "app/CommandMenu.h"

#include "app/CommandGate.h"

#include <QAction>
#include <QMenu>

namespace {

void AddEntries(QMenu* menu, std::span<const BootDiagMenuEntry> entries,
                const std::function<CommandMenuTarget()>& current, CommandGate* gate) {
    for (const BootDiagMenuEntry& entry : entries) {
        const QString caption = QString::fromUtf8(entry.caption);
        if (!entry.children.empty()) {
            QMenu* sub = menu->addMenu(caption);
            sub->setObjectName(QString::fromLatin1(entry.item));
            sub->menuAction()->setObjectName(QString::fromLatin1(entry.item));
            AddEntries(sub, entry.children, current, gate);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(entry.item));
        if (!entry.handler)
            continue;
        const auto handler = entry.handler;
        QObject::connect(action, &QAction::triggered, menu, [current, handler, gate] {
            const CommandMenuTarget target = current();
            if (!target.link)
                return;
            gate->Run([&] {
                BootDiagnostics diag(*target.link, target.settings);
                (diag.*handler)();
            });
        });
    }
}

} // namespace

void PopulateCommandMenu(QMenu* mnCmd, std::function<CommandMenuTarget()> current,
                         CommandGate& gate) {
    mnCmd->setObjectName(QStringLiteral("MnCmd"));
    mnCmd->setTitle(QStringLiteral("コマンド"));
    AddEntries(mnCmd, BootDiagMenu(), current, &gate);
}
