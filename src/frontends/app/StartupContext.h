#pragma once

#include <QString>
#include <QStringList>

class AdapterSource;
class LinkEnvironment;

// What the main window is built from: where the program lives (which names its settings file
// and work folder), its arguments, the platform the link runs on and the adapters the
// connection dialog offers. The program passes the real ones; tests pass their own.
struct StartupContext {
    QString executablePath;
    // Without the program name; the first one may select re-write mode.
    QStringList arguments;
    LinkEnvironment* environment = nullptr;
    const AdapterSource* adapters = nullptr;
    // Run the connection procedure once the window is first shown (off in window tests).
    bool connectOnShow = true;

    // "--demo" anywhere among the arguments: the program runs against the simulator.
    static bool IsDemoMode(const QStringList& arguments);
    // The running program's own context.
    static StartupContext ForRunningProgram();
};
