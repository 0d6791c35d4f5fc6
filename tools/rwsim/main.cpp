#include "rwsim/QuitOnSignal.h"
#include "rwsim/RwSimulator.h"
#include "rwsim/SimDevices.h"
#include "rwsim/SimOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
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
    std::vector<std::unique_ptr<rwsim::RwSimulator>> sims;
    QString where;
    for (const rwsim::SimConfig& device :
         rwsim::DeviceConfigs(config, run.devices, run.faultDevice)) {
        auto sim = std::make_unique<rwsim::RwSimulator>(device);
        if (!sim->Start(&error)) {
            std::fprintf(stderr, "tessaly-rwsim: %s\n", qPrintable(error));
            return 1;
        }
        const QString line = QStringLiteral("%1 %2 %3")
                                 .arg(device.address.toString())
                                 .arg(sim->UdpPort())
                                 .arg(sim->TcpPort());
        std::printf("tessaly-rwsim listening: %s\n", qPrintable(line));
        where += line + QLatin1Char('\n');
        sims.push_back(std::move(sim));
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
