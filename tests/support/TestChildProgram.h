#pragma once

#include <QCoreApplication>
#include <QString>

// The stand-in child process (tests/helpers/TestChild.cpp), built beside the test programs.
inline QString TestChildProgram() {
#ifdef Q_OS_WIN
    const QString extension = QStringLiteral(".exe");
#else
    const QString extension;
#endif
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-test-child") +
           extension;
}
