#pragma once

#include <QString>

// Where log lines go: the memo in the window, the console or a log file in the CLI, a device's
// event stream, a vector in tests. Whether a line is shown, and the clearing of a full pane, is
// decided in one place (WriteLogLine), never by a sink.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual int LineCount() const = 0;
    virtual void Clear() = 0;
    // `forced` is false for a debug line (shown only with debug display on).
    virtual void AppendLine(const QString& line, bool forced) = 0;
};

// Appends `text` when it is forced or debug display is on, emptying a pane that already holds
// 1000 lines first. A null sink takes nothing.
void WriteLogLine(LogSink* sink, const QString& text, bool force, bool debugDisplay);
