#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdint>
#include <span>

namespace rwsim {

// Hexadecimal for transcript texts, upper case with leading zeros.
QString HexText(std::uint32_t value, int digits);
// Bytes as the tool's dumps show them, without the trailing space.
QString DumpText(std::span<const std::uint8_t> bytes);

// The simulator's record of what crossed its sockets and what happened inside it: one JSON
// object per line, with the time in milliseconds since the simulator started. Without a file
// nothing is written.
class Transcript {
public:
    Transcript();
    bool Open(const QString& path);

    // channel "tcp" or "udp"; direction "rx" (towards the device) or "tx" (from it).
    void Bytes(const char* channel, const char* direction, std::span<const std::uint8_t> bytes);
    // A named event ("mode", "speed", "garbled", "connect", "fault", ...) with free text.
    void Event(const char* event, const QString& detail);

private:
    void WriteLine(const QByteArray& json);

    QFile file_;
    QElapsedTimer clock_;
};

} // namespace rwsim
