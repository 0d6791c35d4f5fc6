#include "ExchangeLog.h"

#include "FuzzCheck.h"

namespace {

// The bytes of a dump "02 00 4F " (two hex digits and a space each).
std::vector<std::uint8_t> DumpBytes(QStringView dump) {
    std::vector<std::uint8_t> bytes;
    FUZZ_CHECK(dump.size() % 3 == 0);
    for (qsizetype i = 0; i < dump.size(); i += 3) {
        bool ok = false;
        bytes.push_back(static_cast<std::uint8_t>(dump.mid(i, 2).toUInt(&ok, 16)));
        FUZZ_CHECK(ok && dump[i + 2] == QLatin1Char(' '));
    }
    return bytes;
}

} // namespace

void ExchangeLog::AppendLine(const QString& line, bool /*forced*/) {
    if (line.startsWith(QLatin1String("TX: "))) {
        exchanges.push_back({DumpBytes(QStringView(line).mid(4)), {}});
        return;
    }
    if (line.startsWith(QLatin1String("RX: "))) {
        const std::vector<std::uint8_t> bytes = DumpBytes(QStringView(line).mid(4));
        auto& into = exchanges.empty() ? beforeFirstWrite : exchanges.back().received;
        into.insert(into.end(), bytes.begin(), bytes.end());
        return;
    }
    lines.append(line);
}
