// How responsive the window stays while it updates a R/W: the real main window (offscreen unless
// QT_QPA_PLATFORM says otherwise) updates a simulated R/W with the serial-timing model on, while
// a 10 ms timer on the window's thread notes the longest gap between two of its ticks, from the
// update command until the result window offers "確認". A bench operator confirms the
// connection dialog and the result. Talks only to loopback: the simulator (tessaly-rwsim, from
// this program's folder) on 127.0.2.71, the window's end of the bridge port on 127.0.2.70.
//
//   tessaly-bench-window-gap [RUNS]   (default 3)

#include "BenchSimulator.h"
#include "BenchWindow.h"
#include "app/TConfirm1Dlg.h"
#include "app/TRXProgAppForm.h"
#include "app/WindowUpdate.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/TSetIPAddr1Dlg.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr char kSimulator[] = "127.0.2.71";
constexpr char kBind[] = "127.0.2.70";
constexpr int kTickMs = 10;

struct RunFigures {
    bool ok = false;
    qint64 longestGapMs = 0;
    int ticks = 0;
    double seconds = 0;
};

// The bench operator: confirms the connection dialog and, once offered, the result.
class Operator {
public:
    Operator() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
        timer_.start();
    }
    bool lastOk = false;

private:
    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<TSetIPAddr1Dlg*>(modal)) {
            dialog->OKBtn->click();
        } else if (auto* result = qobject_cast<TConfirm1Dlg*>(modal);
                   result && result->OKBtn->isEnabled()) {
            lastOk = result->Label1->text() == QStringLiteral("OK");
            result->OKBtn->click();
        }
    }
    QTimer timer_;
};

RunFigures Update(TRXProgAppForm& form, WindowUpdate& update, Operator& person) {
    RunFigures figures;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        // Only while the update runs and its result is not yet on offer.
        if (update.ResultWindow() && update.ResultWindow()->OKBtn->isEnabled())
            return;
        figures.longestGapMs = std::max(figures.longestGapMs, now - last);
        ++figures.ticks;
        last = now;
    });
    tick.start();
    form.TB_Write->trigger();
    if (!QTest::qWaitFor([&] { return !update.Running(); }, 120000))
        return figures;
    figures.seconds = double(clock.elapsed()) / 1000.0;
    figures.ok = person.lastOk;
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TESSALY_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir dir;
    QProcess sim;
    const QStringList hosts = StartBenchSimulator(sim, dir, QString::fromLatin1(kSimulator), 1);
    const int tcpPort = hosts.value(0).section(QLatin1Char(':'), 1).toInt();
    if (tcpPort <= 0) {
        std::fprintf(stderr, "tessaly-bench-window-gap: the simulator did not start\n");
        return 1;
    }
    BenchWindow window(dir, QStringLiteral("TCPServAddr=%1\nTCPServPort=%2\nBridgeBindAddress=%3\n")
                                .arg(QString::fromLatin1(kSimulator))
                                .arg(tcpPort)
                                .arg(QString::fromLatin1(kBind)));
    if (!window.SettingsWritten())
        return 1;
    TRXProgAppForm& form = window.form;
    WindowUpdate update(form);
    form.show();
    Operator person;
    // The connection procedure as at start; every later update connects again first, its
    // connection dialog included.
    form.RunOnDevice([](DeviceSession& session) { session.Link().ConnectReader(); });
    if (!QTest::qWaitFor([&] { return !form.Busy(); }, 30000) || form.Link()->ReaderFound != 1) {
        std::fprintf(stderr, "tessaly-bench-window-gap: the simulated R/W was not found\n");
        return 1;
    }

    std::vector<qint64> gaps;
    bool allOk = true;
    std::printf("%-4s %8s %10s %8s %s\n", "run", "update s", "longest ms", "ticks", "result");
    for (int i = 1; i <= runs; ++i) {
        const RunFigures f = Update(form, update, person);
        gaps.push_back(f.longestGapMs);
        allOk = allOk && f.ok;
        std::printf("%-4d %8.2f %10lld %8d %s\n", i, f.seconds,
                    static_cast<long long>(f.longestGapMs), f.ticks, f.ok ? "OK" : "NG");
    }
    std::sort(gaps.begin(), gaps.end());
    std::printf("longest gap between %d ms ticks: median %lld ms, worst %lld ms (goal < 20 ms)\n",
                kTickMs, static_cast<long long>(gaps[gaps.size() / 2]),
                static_cast<long long>(gaps.back()));
    sim.kill();
    sim.waitForFinished();
    return allOk ? 0 : 1;
}
