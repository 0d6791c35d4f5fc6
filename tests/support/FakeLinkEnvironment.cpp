#include "support/FakeLinkEnvironment.h"

#include <algorithm>

bool ScriptedTransport::ConnectTo(const QString& host, std::uint16_t /*port*/) {
    env_.OnConnect(host);
    return true;
}

void ScriptedTransport::Disconnect() {
    env_.OnDisconnect();
}

std::int64_t ScriptedTransport::Write(const QByteArray& data) {
    if (!connected_)
        return -1;
    env_.OnWrite(data);
    return data.size();
}

QByteArray ScriptedTransport::Read(std::int64_t maxBytes) {
    QByteArray out = inbox_.left(maxBytes);
    inbox_.remove(0, out.size());
    return out;
}

void ScriptedTransport::Deliver(const QByteArray& bytes) {
    inbox_.append(bytes);
    // Like a socket, announce again while unread bytes remain after a read event.
    while (!inbox_.isEmpty() && onReadyRead) {
        const auto before = inbox_.size();
        onReadyRead();
        if (inbox_.size() == before)
            break;
    }
}

std::unique_ptr<ByteTransport> FakeLinkEnvironment::MakeTransport() {
    auto t = std::make_unique<ScriptedTransport>(*this);
    transport = t.get();
    return t;
}

void FakeLinkEnvironment::OnWrite(const QByteArray& data) {
    sent.push_back(data);
    if (responder_)
        responder_(data);
}

void FakeLinkEnvironment::OnConnect(const QString& host) {
    connects.push_back(host);
    if (transport && transport->IsConnected())
        ++connectsWhileConnected;
    if (!acceptConnections)
        return;
    events_.push_back({now_ + connectDelayMs, [this] {
                           if (transport)
                               transport->SetConnected(true);
                       }});
}

void FakeLinkEnvironment::OnDisconnect() {
    ++disconnects;
    events_.push_back({now_ + closeDelayMs, [this] {
                           if (transport)
                               transport->SetConnected(false);
                       }});
}

void FakeLinkEnvironment::Reply(const QByteArray& bytes, std::uint32_t delayMs) {
    events_.push_back({now_ + delayMs, [this, bytes] {
                           if (transport && transport->IsConnected())
                               transport->Deliver(bytes);
                       }});
}

void FakeLinkEnvironment::RunDue() {
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
        return static_cast<std::int32_t>(a.at - b.at) < 0;
    });
    while (!events_.empty() && static_cast<std::int32_t>(now_ - events_.front().at) >= 0) {
        Event e = std::move(events_.front());
        events_.pop_front();
        e.action();
    }
}

void FakeLinkEnvironment::ProcessEvents() {
    RunDue();
}

void FakeLinkEnvironment::WaitForEvents(std::uint32_t maxMs) {
    // Jump to the next scheduled event, or to the end of the wait when nothing is due sooner.
    std::uint32_t step = std::max<std::uint32_t>(maxMs, 1);
    for (const Event& e : events_) {
        const std::int32_t until = static_cast<std::int32_t>(e.at - now_);
        if (until >= 0)
            step = std::min(step, std::max<std::uint32_t>(static_cast<std::uint32_t>(until), 1));
    }
    now_ += step;
    RunDue();
}

void FakeLinkEnvironment::Sleep(std::uint32_t ms) {
    now_ += ms;
}
