#include "rwsim/QuitOnSignal.h"
#include "rwsim/SimDevices.h"
#include "rwsim/SimFleet.h"
#include "rwsim/SimOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    // Qt's own event dispatcher rather than GLib's: it costs less per wake-up, and a thousand
    // simulated R/Ws wake their loops thousands of times a second.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaly-rwsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSALY_VERSION));

    rwsim::SimOptions options;
    options.Parser().process(app); // handles --help and --version
    rwsim::SimConfig config;
    rwsim::RunOptions run;
    QString error;
    if (!options.Read(config, run, &error)) {
        std::fprintf(stderr, "tessaly-rwsim: %s\n", qPrintable(error));
        return 2;
    }

    // Each simulator writes its flash dump as it goes out of scope.
    rwsim::SimFleet sims;
    if (!sims.Start(rwsim::DeviceConfigs(config, run.devices, run.faultDevice), &error)) {
        std::fprintf(stderr, "tessaly-rwsim: %s\n", qPrintable(error));
        return 1;
    }
    QString where;
    for (const auto& sim : sims.Sims()) {
        const QString line = QStringLiteral("%1 %2 %3")
                                 .arg(sim->Config().address.toString())
                                 .arg(sim->UdpPort())
                                 .arg(sim->TcpPort());
        std::printf("tessaly-rwsim listening: %s\n", qPrintable(line));
        where += line + QLatin1Char('\n');
    }
    std::fflush(stdout);
    if (!run.readyFile.isEmpty()) {
        QFile ready(run.readyFile);
        if (!ready.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "tessaly-rwsim: cannot write %s\n", qPrintable(run.readyFile));
            return 1;
        }
        ready.write(where.toUtf8());
    }
    rwsim::QuitOnSignal();
    QTimer::singleShot(std::chrono::seconds(run.timeLimitSec), &app, &QCoreApplication::quit);
    return app.exec();
}
