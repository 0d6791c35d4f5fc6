#include "app/CommandMenu.h"

#include <QAction>
#include <QMenu>

namespace {

void AddEntries(QMenu* menu, std::span<const BootDiagMenuEntry> entries,
                const std::function<void(BootDiagHandler)>& run) {
    for (const BootDiagMenuEntry& entry : entries) {
        const QString caption = QString::fromUtf8(entry.caption);
        if (!entry.children.empty()) {
            QMenu* sub = menu->addMenu(caption);
            sub->setObjectName(QString::fromLatin1(entry.item));
            sub->menuAction()->setObjectName(QString::fromLatin1(entry.item));
            AddEntries(sub, entry.children, run);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(entry.item));
        if (!entry.handler)
            continue;
        const BootDiagHandler handler = entry.handler;
        QObject::connect(action, &QAction::triggered, menu, [run, handler] { run(handler); });
    }
}

} // namespace

void PopulateCommandMenu(QMenu* mnCmd, std::function<void(BootDiagHandler)> run) {
    mnCmd->setObjectName(QStringLiteral("MnCmd"));
    mnCmd->setTitle(QStringLiteral("コマンド"));
    AddEntries(mnCmd, BootDiagMenu(), run);
}
