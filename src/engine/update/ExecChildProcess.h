#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

class StopToken;

// Starts the chip updater (or any helper program) and waits for it to end. The child never
// outlives this program: killed outright, the program takes it along (Linux: it dies with its
// parent; Windows: a job that ends with the program). The program is
// started directly with an argument list, never through a shell, in this program's current
// folder, with this program's environment; its standard output and error go where ours go.
// On Windows the command line is the file name and the arguments joined by single spaces,
// nothing quoted, and no handle is inherited (a console child shares our console, if any;
// only an `outputFile` is handed down), while the child's window is brought to the foreground
// every few milliseconds.
//
// Returns 0 when the process was started and has ended, whatever its exit code; otherwise a
// nonzero code: the reason it could not be started, or ExecChildTimedOut. The exit code is
// only printed to `out` (unless it is null) as "dwExitCode = <code>¥n" (a yen sign and the letter
// n, no line feed: the text the hand-off has always printed).
//
// `limitMs` < 0 waits without a time limit; the window's update does, as it always has. With a
// limit, a child still running at its end is killed and ExecChildTimedOut returned.
//
// `exitCode`, when given, receives the exit code printed (only when 0 is returned).
//
// `stop`, when given and requested, ends the wait too: the child is killed and ExecChildStopped
// returned. `outputFile`, when given, takes the child's standard output and error (appended)
// instead of ours, for runs side by side whose children must not write over each other.
int ExecChildProcess(const QString& fileName, const QStringList& arguments, std::FILE* out = stdout,
                     int limitMs = -1, int* exitCode = nullptr, const StopToken* stop = nullptr,
                     const QString& outputFile = QString());

constexpr int ExecChildTimedOut = -1;
constexpr int ExecChildStopped = -2;

// The text printed for an ended child, exactly as written to `out`.
QByteArray ExitCodeText(int exitCode);

#ifdef Q_OS_WIN
// The first top-level window, in Z order from the top, that has no owner, is visible and
// belongs to `processId`; 0 when there is none. Only Windows lets a program find and raise
// another program's window; elsewhere the child's window manager decides.
quintptr FindProcessWindow(qint64 processId);
#endif
