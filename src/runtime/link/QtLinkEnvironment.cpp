#include "link/QtLinkEnvironment.h"

#include "link/TcpTransport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

QtClock::QtClock() { timer_.start(); }

std::uint32_t QtClock::NowMs() {
    // Wraps like the system tick count; the stopwatch arithmetic is wrap-safe.
    return static_cast<std::uint32_t>(timer_.elapsed());
}

void QtEventPump::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventPump::WaitForEvents(std::uint32_t maxMs) {
    if (maxMs == 0) {
        ProcessEvents();
        return;
    }
    // Sleep in the event dispatcher until a socket, window or this timer event arrives: the
    // wait costs no CPU and a reply is handled as soon as it lands.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>(maxMs));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventPump::Sleep(std::uint32_t ms) { QThread::msleep(ms); }

std::unique_ptr<ByteTransport> QtLinkEnvironment::MakeTransport() {
    return std::make_unique<TcpTransport>();
}

QtLinkEnvironment& QtLinkEnvironment::Instance() {
    static QtLinkEnvironment env;
    return env;
}
