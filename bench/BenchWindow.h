#pragma once

// The real main window for the window benchmarks, built as the program builds it: its settings
// file in the benchmark's scratch folder, on a PC without network adapters, with no connection
// procedure at start.

#include "app/StartupContext.h"
#include "app/TRXProgAppForm.h"
#include "link/QtLinkEnvironment.h"
#include "netdlg/AdapterSource.h"

#include <QFile>
#include <QTemporaryDir>

class BenchWindow {
public:
    // `optionLines`: the settings file's "[Option]" keys, a "KEY=VALUE" line each.
    BenchWindow(const QTemporaryDir& dir, const QString& optionLines)
        : settingsWritten_(WriteSettings(dir, optionLines)), context_(ContextIn(dir, adapters_)),
          form(context_) {}

    bool SettingsWritten() const { return settingsWritten_; }

private:
    class NoAdapters final : public AdapterSource {
    public:
        QList<Ipv4Adapter> Adapters() const override { return {}; }
    };

    static bool WriteSettings(const QTemporaryDir& dir, const QString& optionLines) {
        QFile ini(dir.filePath(QStringLiteral("Tessaly.ini")));
        return ini.open(QIODevice::WriteOnly) &&
               ini.write((QStringLiteral("[Option]\n") + optionLines).toUtf8()) >= 0;
    }
    static StartupContext ContextIn(const QTemporaryDir& dir, const AdapterSource& adapters) {
        StartupContext context;
        context.executablePath = dir.filePath(QStringLiteral("Tessaly"));
        context.environment = &QtLinkEnvironment::Instance();
        context.adapters = &adapters;
        context.connectOnShow = false;
        return context;
    }

    NoAdapters adapters_;
    bool settingsWritten_;
    StartupContext context_;

public:
    TRXProgAppForm form;
};
