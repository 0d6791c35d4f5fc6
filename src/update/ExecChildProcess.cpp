#include "update/ExecChildProcess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// Keep pushing the child's window to the front while it runs, so the operator sees the
// updater and not the disabled main window. Windows only allows this from the foreground
// program, which we are while the update runs.
bool WaitRaisingWindow(QProcess& process, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        SetForegroundWindow(reinterpret_cast<HWND>(FindProcessWindow(process.processId())));
        if (process.waitForFinished(2))
            return true;
        if (process.state() == QProcess::NotRunning)
            return true;
        if (limitMs >= 0 && elapsed.hasExpired(limitMs))
            return false;
    }
}
#endif

#ifndef Q_OS_WIN
// Nothing to raise here. The wait runs this thread's event loop without the operator's input:
// the windows are repainted and the desktop's "are you alive" pings answered, so nobody is
// invited to kill the program in the middle of the CHIP update, while a click or a key waits
// until the updater has ended. Works on any thread with an event loop.
bool WaitInEventLoop(QProcess& process, int limitMs) {
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The end may have been seen already, while the start was waited for.
    if (process.state() == QProcess::NotRunning)
        return true;
    if (limitMs >= 0)
        limit.start(limitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return process.state() == QProcess::NotRunning;
}
#endif

bool WaitForChild(QProcess& process, int limitMs) {
#ifdef Q_OS_WIN
    return WaitRaisingWindow(process, limitMs);
#else
    return WaitInEventLoop(process, limitMs);
#endif
}

} // namespace

QByteArray ExitCodeText(int exitCode) {
    return QByteArray("dwExitCode = ") + QByteArray::number(exitCode) +
           QStringLiteral("¥n").toUtf8();
}

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

#ifdef Q_OS_WIN
quintptr FindProcessWindow(qint64 processId) {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindowLongPtrW(w, GWLP_HWNDPARENT) != 0 || !IsWindowVisible(w))
            continue;
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (static_cast<qint64>(owner) == processId)
            return reinterpret_cast<quintptr>(w);
    }
    return 0;
}
#endif
