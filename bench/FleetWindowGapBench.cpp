// How responsive the window stays while its fleet window updates many R/Ws: the real main window
// and fleet window (offscreen unless QT_QPA_PLATFORM says otherwise) update DEVICES simulated
// R/Ws with the serial-timing model on, while a 10 ms timer on the window's thread notes the
// longest gap between two of its ticks, from "すべて更新" to the end of the batch. With a file
// name after the count it saves a picture of the fleet window halfway through the batch (the
// operator guide's picture: 8 R/Ws, under a virtual display). Talks only to loopback: the
// simulator (tessaly-rwsim, from this program's folder) from 127.0.2.81 on, the window's end of
// the bridge port on 127.0.2.80. --simulator-behind runs the simulator at the lowest priority, so
// that it takes from the window only what the R/Ws' own processors would: nothing.
//
//   tessaly-bench-fleet-window-gap [--simulator-behind] [DEVICES [PICTURE.png]]   (default 256)

#include "BenchSimulator.h"
#include "BenchWindow.h"
#include "app/FleetWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr char kFirstSimulator[] = "127.0.2.81";
constexpr char kBind[] = "127.0.2.80";
constexpr int kTickMs = 10;

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TESSALY_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool simulatorBehind = args.removeAll(QStringLiteral("--simulator-behind")) > 0;
    const int devices = !args.isEmpty() ? std::clamp(args[0].toInt(), 1, 1024) : 256;
    const QString picture = args.size() > 1 ? args[1] : QString();

    QTemporaryDir dir;
    QProcess sim;
    const QStringList hosts = StartBenchSimulator(sim, dir, QString::fromLatin1(kFirstSimulator),
                                                  devices, simulatorBehind);
    if (hosts.size() != devices) {
        std::fprintf(stderr, "tessaly-bench-fleet-window-gap: the simulator did not start\n");
        return 1;
    }
    BenchWindow window(dir,
                       QStringLiteral("BridgeBindAddress=%1\n").arg(QString::fromLatin1(kBind)));
    if (!window.SettingsWritten())
        return 1;
    TRXProgAppForm& form = window.form;
    form.show();
    form.MnFleet->trigger();
    FleetWindow& fleet = *form.Fleet();
    fleet.AddFromText(hosts.join(QLatin1Char('\n')));
    // The operator clicks a window that is already on screen: its first paint (fonts looked up,
    // the table laid out) is not part of the batch.
    QTest::qWait(500);

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    int ticks = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        ++ticks;
        last = now;
    });
    bool pictured = picture.isEmpty();
    QObject::connect(&tick, &QTimer::timeout, [&] {
        // Halfway: the writes under way.
        if (pictured || clock.elapsed() < 6000)
            return;
        pictured = true;
        const bool saved = fleet.grab().save(picture);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(picture));
    });
    tick.start();
    fleet.RunAllButton->click();
    if (!QTest::qWaitFor([&] { return !fleet.Running(); }, 300000)) {
        std::fprintf(stderr, "tessaly-bench-fleet-window-gap: the batch did not end\n");
        return 1;
    }
    tick.stop();
    std::printf("%d R/Ws in %.1f s: %s\n", devices, double(clock.elapsed()) / 1000.0,
                qPrintable(fleet.Summary->text()));
    std::printf("longest gap between %d ms ticks: %lld ms over %d ticks (goal < 50 ms)\n", kTickMs,
                static_cast<long long>(longest), ticks);
    sim.kill();
    sim.waitForFinished();
    return fleet.Summary->text().contains(QStringLiteral("NG 0")) ? 0 : 1;
}
