#pragma once

#include "link/LinkEnvironment.h"

#include <QElapsedTimer>

// The platform as the running program has it: Qt's event loop on the UI thread, a steady
// millisecond clock, QTcpSocket connections.
class QtClock final : public LinkClock {
public:
    QtClock();
    std::uint32_t NowMs() override;

private:
    QElapsedTimer timer_;
};

class QtEventPump final : public EventPump {
public:
    void ProcessEvents() override;
    void WaitForEvents(std::uint32_t maxMs) override;
    void Sleep(std::uint32_t ms) override;
};

class QtLinkEnvironment final : public LinkEnvironment {
public:
    LinkClock& Clock() override { return clock_; }
    EventPump& Pump() override { return pump_; }
    std::unique_ptr<ByteTransport> MakeTransport() override;

    // The one instance the program runs on.
    static QtLinkEnvironment& Instance();

private:
    QtClock clock_;
    QtEventPump pump_;
};
