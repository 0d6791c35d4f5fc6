#pragma once

#include "link/LogSink.h"

#include <QStringList>

// A log pane for tests: keeps every line it is given.
class VectorLogSink final : public LogSink {
public:
    int LineCount() const override { return static_cast<int>(lines.size()); }
    void Clear() override { lines.clear(); }
    void AppendLine(const QString& line, bool /*forced*/) override { lines.append(line); }
    bool Contains(const QString& line) const { return lines.contains(line); }

    QStringList lines;
};
