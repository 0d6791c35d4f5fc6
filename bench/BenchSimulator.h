#pragma once

// The simulator as a program of its own for the window benchmarks, so that its work is not on
// the window's thread: tessaly-rwsim from the benchmark's folder, with the serial-timing model
// on, on loopback only.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// Starts `devices` simulated R/Ws from `address` on; their "ADDR:PORT" lines, empty when the
// simulator did not start. `behind` runs it at the lowest priority (where `nice` exists): it
// stands in for the R/Ws' own processors, which take nothing from the operator's PC, so that a
// benchmark of the window measures the window and not the simulator's share of the cores.
inline QStringList StartBenchSimulator(QProcess& sim, const QTemporaryDir& dir,
                                       const QString& address, int devices, bool behind = false) {
    const QString ready = dir.filePath(QStringLiteral("ready"));
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-rwsim");
    const QStringList arguments{QStringLiteral("--address"),       address,
                                QStringLiteral("--devices"),       QString::number(devices),
                                QStringLiteral("--tcp-port"),      QStringLiteral("0"),
                                QStringLiteral("--serial-timing"), QStringLiteral("on"),
                                QStringLiteral("--time-limit"),    QStringLiteral("600"),
                                QStringLiteral("--ready-file"),    ready};
    const QString nice = QStringLiteral("/usr/bin/nice");
    if (behind && QFile::exists(nice)) {
        sim.setProgram(nice);
        sim.setArguments(QStringList{QStringLiteral("-n"), QStringLiteral("19"), program} +
                         arguments);
    } else {
        sim.setProgram(program);
        sim.setArguments(arguments);
    }
    sim.start();
    if (!QTest::qWaitFor([&] { return QFile::exists(ready); }, 30000))
        return {};
    QFile file(ready);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList hosts;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() >= 3)
            hosts << fields[0] + QLatin1Char(':') + fields[2];
    }
    return hosts;
}
