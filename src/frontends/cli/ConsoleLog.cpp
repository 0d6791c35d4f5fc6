#include "cli/ConsoleLog.h"

#include <cstdio>

bool ConsoleLog::Open(const QString& logFile) {
    if (logFile.isEmpty())
        return true;
    file_.setFileName(logFile);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    std::fprintf(stderr, "tessaly-cli: cannot write the log file %s: %s\n",
                 logFile.toUtf8().constData(), file_.errorString().toUtf8().constData());
    return false;
}

void ConsoleLog::AppendLine(const QString& line, bool /*forced*/) {
    ++lines_;
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (file_.isOpen()) {
        file_.write(utf8);
        file_.write("\n");
        file_.flush();
    }
}
