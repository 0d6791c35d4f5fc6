#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// Millisecond tick counter, unsigned and wrapping like the system tick count.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual std::uint32_t NowMs() = 0;
};

// How the link lets the rest of the program run while it waits. Waits never spin: when nothing
// is pending they block until the next event or the given time.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handle whatever events are pending (socket reads, repaints, input) and return.
    virtual void ProcessEvents() = 0;
    // Block until an event may have arrived or `maxMs` have passed, handling what comes.
    virtual void WaitForEvents(std::uint32_t maxMs) = 0;
    // A plain pause with no events handled.
    virtual void Sleep(std::uint32_t ms) = 0;
};

// A stream connection to the R/W: asynchronous connect, received bytes announced through a
// callback on the UI thread.
class ByteTransport {
public:
    virtual ~ByteTransport() = default;
    // Starts connecting; false when the connection is refused before any traffic (for example
    // a non-loopback address while TESSALY_LOOPBACK_ONLY is set).
    virtual bool ConnectTo(const QString& host, std::uint16_t port) = 0;
    // Starts closing (or abandons a connect in progress).
    virtual void Disconnect() = 0;
    virtual bool IsConnected() const = 0;
    // Hands bytes to the connection in one call; returns the count accepted or -1.
    virtual std::int64_t Write(const QByteArray& data) = 0;
    virtual std::int64_t BytesAvailable() const = 0;
    virtual QByteArray Read(std::int64_t maxBytes) = 0;

    std::function<void()> onReadyRead;
    std::function<void(int errorCode)> onError;
};

// Everything the link controller needs from the platform. The real one runs on Qt's event
// loop and sockets; tests substitute a fake clock and a scripted peer.
class LinkEnvironment {
public:
    virtual ~LinkEnvironment() = default;
    virtual LinkClock& Clock() = 0;
    virtual EventPump& Pump() = 0;
    virtual std::unique_ptr<ByteTransport> MakeTransport() = 0;
};
