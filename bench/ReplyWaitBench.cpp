// How much CPU a reply wait costs: a 4-second wait on a loopback peer that never answers,
// then the reaction time to a reply that does come. The wait must sleep in the event loop,
// not spin.
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTcpServer server;
    if (!server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0))
        return 1;
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection,
                     [&] { peer = server.nextPendingConnection(); });

    TFlashWrRXCont link(QtLinkEnvironment::Instance(), nullptr, tagOptionPara{}, {});
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.1");
    link.TCPIPPara.TCPServPort = server.serverPort();
    if (!link.OpenLink())
        return 1;

    const std::uint8_t cmd[] = {0x4F};
    link.SendBytes(cmd, 1);
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = CpuSeconds();
    link.StartTickTimer();
    const bool got = link.WaitForRxCount(1, 4000);
    const double cpu = CpuSeconds() - cpu0;
    const double seconds = wall.elapsed() / 1000.0;
    std::printf("4000 ms time-out: reply=%d wall=%.3f s cpu=%.3f s (%.2f%% of wall)\n", got,
                seconds, cpu, 100.0 * cpu / seconds);

    // Reaction: the peer answers 50 ms into the wait; measure from its write to the end of
    // the wait.
    constexpr int kRounds = 20;
    double worstLateMs = 0;
    for (int i = 0; i < kRounds; ++i) {
        link.SendBytes(cmd, 1);
        QElapsedTimer clock;
        clock.start();
        qint64 answeredAt = 0;
        QTimer::singleShot(50, Qt::PreciseTimer, peer, [&] {
            answeredAt = clock.nsecsElapsed();
            peer->write("\x06", 1);
            peer->flush();
        });
        link.StartTickTimer();
        link.WaitForRxCount(1, 1000);
        worstLateMs = std::max(worstLateMs, (clock.nsecsElapsed() - answeredAt) / 1e6);
    }
    std::printf("reaction to a reply: worst %.3f ms from the peer's write to the end of the wait (%d rounds)\n", worstLateMs,
                kRounds);
    return 0;
}
