// The chip updater hand-off on Windows: the system's own process and window calls, so the
// child gets exactly the command line built for it and its window is kept in front.
#include "update/ExecChildProcess.h"

#include "link/StopToken.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>

#include <windows.h>

#include <string>

namespace {

// Every child of this program belongs to one job that ends them when the program does: its
// handle closes with the program, however the program ended.
HANDLE ChildrenJob() {
    static const HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created)
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                    sizeof limits);
        return created;
    }();
    return job;
}

} // namespace

int ExecChildProcess(const QString& fileName, const QStringList& arguments, std::FILE* out,
                     int limitMs, int* exitCode, const StopToken* stop, const QString& outputFile) {
    // The command line the hand-off has always built: the file name, not quoted, and the
    // arguments, each after one space. Nothing is quoted or escaped and no shell is involved.
    const QString application = QDir::toNativeSeparators(fileName);
    std::wstring commandLine =
        (QStringList{application} + arguments).join(QLatin1Char(' ')).toStdWString();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Runs side by side give each child a file of its own for its output: that one handle is
    // handed down, nothing else.
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputFile.isEmpty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output = CreateFileW(outputFile.toStdWString().c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE)
            return static_cast<int>(GetLastError());
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION child{};
    // No creation flags, our environment and current folder.
    const BOOL started =
        CreateProcessW(application.toStdWString().c_str(), commandLine.data(), nullptr, nullptr,
                       output != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &startup, &child);
    const DWORD startError = GetLastError();
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!started)
        return static_cast<int>(startError);
    // Without a job (one the system refuses) the child merely outlives a killed program, as
    // it always could.
    if (HANDLE job = ChildrenJob())
        AssignProcessToJobObject(job, child.hProcess);

    // Push the child's window to the front about every 2 ms while it runs, so the operator
    // sees the updater and not our disabled window; the wait ends when the child does,
    // whether it ever showed a window or not. Between the polls this thread's events run
    // without the operator's input, so our windows keep painting, as on every platform.
    QElapsedTimer elapsed;
    elapsed.start();
    DWORD wait = WAIT_TIMEOUT;
    bool timedOut = false;
    bool stopped = false;
    do {
        SetForegroundWindow(reinterpret_cast<HWND>(FindProcessWindow(child.dwProcessId)));
        wait = WaitForSingleObject(child.hProcess, 1);
        if (wait == WAIT_ABANDONED || wait == WAIT_FAILED)
            break;
        if (wait == WAIT_TIMEOUT && limitMs >= 0 && elapsed.hasExpired(limitMs)) {
            timedOut = true;
            break;
        }
        if (wait == WAIT_TIMEOUT && stop && stop->Requested()) {
            stopped = true;
            break;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        Sleep(1);
    } while (wait == WAIT_TIMEOUT);

    int result = 0;
    if (timedOut || stopped) {
        TerminateProcess(child.hProcess, 1);
        WaitForSingleObject(child.hProcess, INFINITE);
        result = stopped ? ExecChildStopped : ExecChildTimedOut;
    } else if (wait != WAIT_ABANDONED && wait != WAIT_FAILED) {
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        if (exitCode)
            *exitCode = static_cast<int>(code);
        if (out) {
            const QByteArray text = ExitCodeText(static_cast<int>(code));
            std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out);
            std::fflush(out);
        }
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return result;
}

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
