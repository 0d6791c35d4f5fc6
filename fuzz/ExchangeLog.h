#pragma once

#include "link/LogSink.h"

#include <QStringList>

#include <cstdint>
#include <vector>

// A log pane that reads the link's own byte dumps back: every "TX: " line is a write (the
// receive ring is emptied right before it), every "RX: " line the bytes one read event put
// into the ring. So each exchange holds what the tool sent and what was in its ring while it
// waited for the answer. The other lines are kept as they are. It never counts as full: the
// 1000-line rule is not what is fuzzed here.
class ExchangeLog final : public LogSink {
public:
    struct Exchange {
        std::vector<std::uint8_t> sent;
        std::vector<std::uint8_t> received;
    };

    int LineCount() const override { return 0; }
    void Clear() override {}
    void AppendLine(const QString& line, bool forced) override;

    bool Contains(const QString& line) const { return lines.contains(line); }

    std::vector<Exchange> exchanges;
    // Bytes read before the first write.
    std::vector<std::uint8_t> beforeFirstWrite;
    QStringList lines;
};
