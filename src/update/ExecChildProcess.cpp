#include "update/ExecChildProcess.h"

#include <QProcess>

// Windows starts the child with the system's own call (ExecChildProcessWin.cpp); this is how
// every other platform does it.
#ifndef Q_OS_WIN
namespace {

bool WaitForChild(QProcess& process, int limitMs) {
    // Nothing to raise here: one blocking wait, no events handled (the main window is
    // disabled while the updater runs, as it has always been).
    return process.waitForFinished(limitMs < 0 ? -1 : limitMs) ||
           process.state() == QProcess::NotRunning;
}

} // namespace
#endif

QByteArray ExitCodeText(int exitCode) {
    return QByteArray("dwExitCode = ") + QByteArray::number(exitCode) +
           QStringLiteral("¥n").toUtf8();
}

#ifndef Q_OS_WIN
int ExecChildProcess(const QString& fileName, const QStringList& arguments, std::FILE* out,
                     int limitMs) {
    QProcess process;
    process.setProgram(fileName);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start();
    if (!process.waitForStarted(-1))
        return static_cast<int>(process.error()) + 1; // never 0: 0 means "ran"

    if (!WaitForChild(process, limitMs)) {
        process.kill();
        process.waitForFinished(-1);
        return ExecChildTimedOut;
    }
    // A child that crashed has no exit code of its own; report what the system gives.
    const QByteArray text = ExitCodeText(process.exitCode());
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out);
    std::fflush(out);
    return 0;
}
#endif
