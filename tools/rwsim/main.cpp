#include "rwsim/RwSimulator.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    rwsim::RwSimulator sim(rwsim::SimConfig{});
    QString error;
    if (!sim.Start(&error)) {
        qCritical("%s", qPrintable(error));
        return 1;
    }
    return app.exec();
}
