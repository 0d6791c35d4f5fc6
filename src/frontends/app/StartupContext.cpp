#include "app/StartupContext.h"

#include "link/QtLinkEnvironment.h"
#include "netdlg/NetworkInterfaceAdapters.h"

#include <QCoreApplication>

bool StartupContext::IsDemoMode(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--demo"));
}

StartupContext StartupContext::ForRunningProgram() {
    StartupContext context;
    context.executablePath = QCoreApplication::applicationFilePath();
    context.arguments = QCoreApplication::arguments().mid(1);
    context.environment = &QtLinkEnvironment::Instance();
    static const NetworkInterfaceAdapters adapters(IsDemoMode(context.arguments));
    context.adapters = &adapters;
    return context;
}
