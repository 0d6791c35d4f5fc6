#pragma once

#include "core/link/ReaderFrame.h"

#include <QByteArray>

#include <span>
#include <vector>

// Replies as a R/W stand-in sends them, in the request frame layout: an acknowledge carries
// its verdict at position 2, a ROM version one leading byte and the nine characters, a CHIP
// version two leading bytes and the nine characters.
namespace ReaderReplies {

inline QByteArray Frame(std::uint8_t letter, const QByteArray& data) {
    const auto frame = tessaly::BuildReaderFrame(
        letter, std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size())));
    return QByteArray(reinterpret_cast<const char*>(frame.data()),
                      static_cast<qsizetype>(frame.size()));
}

inline QByteArray Ack() {
    return Frame(0x30, {});
}
inline QByteArray Nack() {
    return Frame(0x31, {});
}
inline QByteArray RomVersion(const QByteArray& nine) {
    return Frame(0x4F, "R" + nine);
}
inline QByteArray ChipVersion(const QByteArray& nine) {
    return Frame(0x55, "CH" + nine);
}

// Which request a frame the tool sent is.
inline bool IsDousaModeSet(const QByteArray& f) {
    return f.size() >= 5 && f[2] == 'N' && f[3] == 7;
}
inline bool IsRomRequest(const QByteArray& f) {
    return f.size() >= 3 && f[2] == 'O';
}
inline bool IsChipRequest(const QByteArray& f) {
    return f.size() >= 3 && f[2] == 'U';
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace ReaderReplies
