#pragma once

#include "link/LogSink.h"

#include <QFile>
#include <QString>

// The CLI's log pane: every line goes to standard output and, when asked, to a log file. The
// line count is kept so that the pane rule (empty after 1000 lines) stays harmless here: the
// console is never cleared, nothing printed is taken back.
class ConsoleLog final : public LogSink {
public:
    // An empty `logFile` writes to the console only. False from Open when the file cannot be
    // created, after saying so on standard error.
    bool Open(const QString& logFile);
    int LineCount() const override { return lines_; }
    void Clear() override { lines_ = 0; }
    void AppendLine(const QString& line, bool forced) override;

private:
    int lines_ = 0;
    QFile file_;
};
