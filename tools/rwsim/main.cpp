#include "rwsim/QuitOnSignal.h"
#include "rwsim/RwSimulator.h"
#include "rwsim/SimOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

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

    rwsim::RwSimulator sim(config);
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "tessaly-rwsim: %s\n", qPrintable(error));
        return 1;
    }
    const QString where = QStringLiteral("%1 %2 %3")
                              .arg(config.address.toString())
                              .arg(sim.UdpPort())
                              .arg(sim.TcpPort());
    std::printf("tessaly-rwsim listening: %s\n", qPrintable(where));
    std::fflush(stdout);
    if (!run.readyFile.isEmpty()) {
        QFile ready(run.readyFile);
        if (!ready.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "tessaly-rwsim: cannot write %s\n", qPrintable(run.readyFile));
            return 1;
        }
        ready.write(where.toUtf8() + '\n');
    }
    rwsim::QuitOnSignal();
    QTimer::singleShot(std::chrono::seconds(run.timeLimitSec), &app, &QCoreApplication::quit);
    return app.exec(); // the simulator writes its flash dump as it goes out of scope
}
