#include "rwsim/Transcript.h"

#include "core/link/ByteDump.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace rwsim {

QString HexText(std::uint32_t value, int digits) {
    return QString::fromStdString(tessaly::HexDigits(value, digits));
}

QString DumpText(std::span<const std::uint8_t> bytes) {
    return QString::fromStdString(tessaly::ByteDump(bytes)).trimmed();
}

Transcript::Transcript() {
    clock_.start();
}

bool Transcript::Open(const QString& path) {
    file_.setFileName(path);
    return file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void Transcript::Bytes(const char* channel, const char* direction,
                       std::span<const std::uint8_t> bytes) {
    if (!file_.isOpen())
        return;
    QJsonObject line{{QStringLiteral("t"), clock_.nsecsElapsed() / 1e6},
                     {QStringLiteral("ch"), QString::fromLatin1(channel)},
                     {QStringLiteral("dir"), QString::fromLatin1(direction)},
                     {QStringLiteral("hex"), DumpText(bytes)}};
    WriteLine(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

void Transcript::Event(const char* event, const QString& detail) {
    if (!file_.isOpen())
        return;
    QJsonObject line{{QStringLiteral("t"), clock_.nsecsElapsed() / 1e6},
                     {QStringLiteral("event"), QString::fromLatin1(event)},
                     {QStringLiteral("detail"), detail}};
    WriteLine(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

void Transcript::WriteLine(const QByteArray& json) {
    file_.write(json);
    file_.write("\n");
    file_.flush(); // a test or a crash must find every line so far
}

} // namespace rwsim
