#include "link/LogSink.h"

#include "core/link/LogRule.h"

void WriteLogLine(LogSink* sink, const QString& text, bool force, bool debugDisplay) {
    if (!sink || !tessaly::LogLineShown(force, debugDisplay))
        return;
    if (tessaly::LogClearBeforeAppend(static_cast<std::size_t>(sink->LineCount())))
        sink->Clear();
    sink->AppendLine(text, force);
}
