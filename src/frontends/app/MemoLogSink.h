#pragma once

#include "link/LogSink.h"

class QPlainTextEdit;

// The log pane as a log sink. Lines are counted the way the operator sees them: an empty line
// logged into an empty pane is still a line.
class MemoLogSink final : public LogSink {
public:
    explicit MemoLogSink(QPlainTextEdit* memo) : memo_(memo) {}
    int LineCount() const override;
    void Clear() override;
    void AppendLine(const QString& line, bool forced) override;

private:
    QPlainTextEdit* memo_;
    bool holdsLines_ = false;
};
