#pragma once

#include "link/LinkEnvironment.h"

#include <QByteArray>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A platform for protocol tests that costs no real time: a clock that moves only when the
// code under test waits or sleeps, and an in-memory peer whose replies arrive at scheduled
// fake times. A 4-second time-out takes microseconds.
class FakeLinkEnvironment;

class ScriptedTransport final : public ByteTransport {
public:
    explicit ScriptedTransport(FakeLinkEnvironment& env) : env_(env) {}
    bool ConnectTo(const QString& host, std::uint16_t port) override;
    void Disconnect() override;
    bool IsConnected() const override { return connected_; }
    std::int64_t Write(const QByteArray& data) override;
    std::int64_t BytesAvailable() const override { return inbox_.size(); }
    QByteArray Read(std::int64_t maxBytes) override;

    // Delivered by the environment when the fake clock reaches a scheduled arrival.
    void Deliver(const QByteArray& bytes);
    void SetConnected(bool connected) { connected_ = connected; }

private:
    FakeLinkEnvironment& env_;
    bool connected_ = false;
    QByteArray inbox_;
};

class FakeLinkEnvironment final : public LinkEnvironment, public LinkClock, public EventPump {
public:
    // What the peer does with each frame the tool sends: call Reply() to answer.
    using Responder = std::function<void(const QByteArray& sent)>;

    LinkClock& Clock() override { return *this; }
    EventPump& Pump() override { return *this; }
    std::unique_ptr<ByteTransport> MakeTransport() override;

    std::uint32_t NowMs() override { return now_; }
    void ProcessEvents() override;
    void WaitForEvents(std::uint32_t maxMs) override;
    void Sleep(std::uint32_t ms) override;

    // Schedules bytes from the peer `delayMs` after the current fake time.
    void Reply(const QByteArray& bytes, std::uint32_t delayMs = 1);
    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    void SetNow(std::uint32_t now) { now_ = now; }

    // Whether connects succeed, and after how long.
    bool acceptConnections = true;
    std::uint32_t connectDelayMs = 1;
    std::uint32_t closeDelayMs = 1;

    // Everything the tool sent, one entry per write, and the hosts it connected to.
    std::vector<QByteArray> sent;
    std::vector<QString> connects;
    // Closes the tool started, and connects it started while the last connection was still up.
    int disconnects = 0;
    int connectsWhileConnected = 0;

    // Called by the transport.
    void OnWrite(const QByteArray& data);
    void OnConnect(const QString& host);
    void OnDisconnect();
    ScriptedTransport* transport = nullptr;

private:
    struct Event {
        std::uint32_t at;
        std::function<void()> action;
    };
    void RunDue();

    std::uint32_t now_ = 100000;
    std::deque<Event> events_;
    Responder responder_;
};
