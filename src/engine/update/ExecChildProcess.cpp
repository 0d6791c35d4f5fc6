#include "update/ExecChildProcess.h"

#include "link/StopToken.h"

// Windows starts the child with the system's own call (ExecChildProcessWin.cpp); this is how
// Linux does it.
#ifndef Q_OS_WIN
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// Nothing to raise here. The wait runs this thread's event loop without the operator's input:
// the windows are repainted and the desktop's "are you alive" pings answered, so nobody is
// invited to kill the program in the middle of the CHIP update, while a click or a key waits
// until the updater has ended. Works on any thread with an event loop.
constexpr int kStopCheckMs = 100;
// Where the system cannot say when a child ends (no pidfd), the child is looked at this often.
constexpr int kExitPollMs = 20;
// The child could not be started at all (never 0: 0 means "ran").
constexpr int kCouldNotStart = 1;

// Starts `argv` without copying this process's memory (vfork): a fork of a program with hundreds
// of threads copies its page tables, and every other thread that touches its memory meanwhile
// waits, the window's among them, whenever a fleet starts its chip updaters. The child dies with
// the thread that started it, takes `outputFd` (if any) as its standard output and error, and
// gets the signal dispositions a new program should have. -1 when it could not be started.
pid_t StartChild(const QByteArray& file, const std::vector<QByteArray>& arguments, int outputFd) {
    std::vector<char*> argv;
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    // No handler of ours may run in the child while it still shares our memory.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    volatile int execErrno = 0;
    const pid_t pid = vfork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1); // the program was gone before the line above
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction action {};
            if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN &&
                action.sa_handler != SIG_DFL) {
                action.sa_handler = SIG_DFL;
                sigaction(signal, &action, nullptr);
            }
        }
        if (outputFd >= 0) {
            dup2(outputFd, STDOUT_FILENO);
            dup2(outputFd, STDERR_FILENO);
        }
        sigprocmask(SIG_SETMASK, &before, nullptr);
        execv(file.constData(), argv.data());
        execErrno = errno;
        _exit(127);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (pid > 0 && execErrno != 0) {
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// Waits for `pid` to end; false when the limit or a stop request came first.
bool WaitInEventLoop(pid_t pid, int* status, int limitMs, const StopToken* stop) {
    const auto ended = [&] { return waitpid(pid, status, WNOHANG) == pid; };
    if (ended())
        return true;
    QEventLoop loop;
    bool done = false;
    const auto look = [&] {
        if (ended()) {
            done = true;
            loop.quit();
        }
    };
    // The system says when the child ends (Linux 5.3 and later); otherwise it is looked at.
    const int pidFd = int(syscall(SYS_pidfd_open, pid, 0));
    std::unique_ptr<QSocketNotifier> exitNotifier;
    QTimer exitPoll;
    if (pidFd >= 0) {
        exitNotifier = std::make_unique<QSocketNotifier>(pidFd, QSocketNotifier::Read);
        QObject::connect(exitNotifier.get(), &QSocketNotifier::activated, &loop, look);
    } else {
        QObject::connect(&exitPoll, &QTimer::timeout, &loop, look);
        exitPoll.start(kExitPollMs);
    }
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // A stop request is looked for a few times a second; it ends the wait like the limit.
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (stop->Requested())
            loop.quit();
    });
    if (limitMs >= 0)
        limit.start(limitMs);
    if (stop)
        stopCheck.start(kStopCheckMs);
    // The end may have come while all that was set up.
    look();
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    exitNotifier.reset();
    if (pidFd >= 0)
        close(pidFd);
    return done;
}

} // namespace
#endif

QByteArray ExitCodeText(int exitCode) {
    return QByteArray("dwExitCode = ") + QByteArray::number(exitCode) +
           QStringLiteral("¥n").toUtf8();
}

#ifndef Q_OS_WIN
int ExecChildProcess(const QString& fileName, const QStringList& arguments, std::FILE* out,
                     int limitMs, int* exitCode, const StopToken* stop, const QString& outputFile) {
    // As a shell would find it: a name without a folder is looked for on the PATH.
    const QString program =
        fileName.contains(QLatin1Char('/')) ? fileName : QStandardPaths::findExecutable(fileName);
    if (program.isEmpty())
        return kCouldNotStart;
    std::vector<QByteArray> argv{QFile::encodeName(program)};
    for (const QString& a : arguments)
        argv.push_back(a.toLocal8Bit());
    int outputFd = -1;
    if (!outputFile.isEmpty()) {
        outputFd = open(QFile::encodeName(outputFile).constData(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (outputFd < 0)
            return kCouldNotStart;
    }
    const pid_t pid = StartChild(argv.front(), argv, outputFd);
    if (outputFd >= 0)
        close(outputFd);
    if (pid < 0)
        return kCouldNotStart;

    int status = 0;
    if (!WaitInEventLoop(pid, &status, limitMs, stop)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return stop && stop->Requested() ? ExecChildStopped : ExecChildTimedOut;
    }
    // A child that crashed has no exit code of its own; report what the system gives.
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
    const QByteArray text = ExitCodeText(code);
    if (exitCode)
        *exitCode = code;
    if (out) {
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out);
        std::fflush(out);
    }
    return 0;
}
#endif
