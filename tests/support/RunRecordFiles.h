#pragma once

// Reading back what a run left in its records folder, for the tests of both front ends.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

struct RunRecordFiles {
    QString stem;
    QJsonObject record; // the .json
    QStringList lines;  // the .log's lines without their time stamps
};

// The one run in `folder`; fails the test when there is not exactly one pair or a .log line
// lacks its time stamp, or the stamps go backwards.
inline RunRecordFiles ReadTheOnlyRun(const QString& folder) {
    RunRecordFiles run;
    const QDir dir(folder);
    const QStringList logs = dir.entryList({QStringLiteral("*.log")}, QDir::Files);
    const QStringList jsons = dir.entryList({QStringLiteral("*.json")}, QDir::Files);
    EXPECT_EQ(logs.size(), 1) << logs.join(' ').toStdString();
    EXPECT_EQ(jsons.size(), 1) << jsons.join(' ').toStdString();
    if (logs.size() != 1 || jsons.size() != 1)
        return run;
    run.stem = logs.first().chopped(4);
    EXPECT_EQ(jsons.first(), run.stem + QStringLiteral(".json"));

    QFile json(dir.filePath(jsons.first()));
    EXPECT_TRUE(json.open(QIODevice::ReadOnly));
    run.record = QJsonDocument::fromJson(json.readAll()).object();

    QFile log(dir.filePath(logs.first()));
    EXPECT_TRUE(log.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.takeLast(), QString()); // every line ends with a line feed
    const QRegularExpression stamped(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}) (.*)$"));
    QString previous;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = stamped.match(line);
        EXPECT_TRUE(m.hasMatch()) << line.toStdString();
        EXPECT_LE(previous, m.captured(1)) << line.toStdString();
        previous = m.captured(1);
        run.lines << m.captured(2);
    }
    return run;
}

// The steps that ran, by name, and their milliseconds add up to the run's wall time but for
// the moments between them (screen updates, the outcome's lines).
// The .json of the one record in `folder`, whatever else is there (a run killed outright left
// no .log).
inline QJsonObject ReadTheOnlyRecord(const QString& folder) {
    const QDir dir(folder);
    const QStringList jsons = dir.entryList({QStringLiteral("*.json")}, QDir::Files);
    EXPECT_EQ(jsons.size(), 1) << jsons.join(' ').toStdString();
    QFile json(dir.filePath(jsons.value(0)));
    if (jsons.size() != 1 || !json.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(json.readAll()).object();
}

inline QStringList StepsOf(const QJsonObject& record) {
    const QJsonObject steps = record.value(QStringLiteral("steps")).toObject();
    const QDateTime started = QDateTime::fromString(
        record.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs);
    const QDateTime finished = QDateTime::fromString(
        record.value(QStringLiteral("finished")).toString(), Qt::ISODateWithMs);
    EXPECT_TRUE(started.isValid() && finished.isValid());
    const qint64 wall = started.msecsTo(finished);
    qint64 sum = 0;
    for (const QJsonValue ms : steps)
        sum += ms.toInteger();
    EXPECT_LE(sum, wall + 5);
    EXPECT_GE(sum, wall - wall / 5 - 50) << "steps " << sum << " ms of " << wall << " ms";
    return steps.keys();
}
