#include "fleet/FleetReport.h"

#include "records/AtomicFile.h"

#include "update/UpdateSteps.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QStringList kRowFields = {QStringLiteral("host"),
                                QStringLiteral("port"),
                                QStringLiteral("mac"),
                                QStringLiteral("mode"),
                                QStringLiteral("result"),
                                QStringLiteral("exitCode"),
                                QStringLiteral("errStage"),
                                QStringLiteral("failedStep"),
                                QStringLiteral("romVersionBefore"),
                                QStringLiteral("chipVersionBefore"),
                                QStringLiteral("romVersionAfter"),
                                QStringLiteral("chipVersionAfter"),
                                QStringLiteral("seconds"),
                                QStringLiteral("log"),
                                QStringLiteral("interrupted")};

QJsonObject RowJson(const FleetRow& row) {
    QJsonObject out;
    if (row.record) {
        const QJsonObject record = RunRecordJson(*row.record);
        for (const QString& field : kRowFields)
            if (record.contains(field))
                out.insert(field, record.value(field));
    } else {
        out.insert(QStringLiteral("mode"),
                   row.target.rewrite ? QStringLiteral("rewrite") : QStringLiteral("program"));
        out.insert(QStringLiteral("result"), QStringLiteral("NG"));
        for (const char* none : {"mac", "exitCode", "failedStep", "romVersionBefore",
                                 "chipVersionBefore", "romVersionAfter", "chipVersionAfter"})
            out.insert(QLatin1String(none), QJsonValue::Null);
        out.insert(QStringLiteral("errStage"), 0);
    }
    out.insert(QStringLiteral("host"), row.target.host);
    out.insert(QStringLiteral("port"), row.target.port);
    out.insert(QStringLiteral("seconds"), qRound64(row.seconds * 1000) / 1000.0);
    out.insert(QStringLiteral("log"), row.log.isEmpty() ? QJsonValue() : QJsonValue(row.log));
    out.insert(QStringLiteral("interrupted"), row.stopped ? QJsonValue(QStringLiteral("stopped"))
                                              : row.record
                                                  ? QJsonValue()
                                                  : QJsonValue(QStringLiteral("not started")));
    return out;
}

QString CsvField(const QJsonValue& value) {
    QString text = value.isDouble() ? QString::number(value.toDouble()) : value.toString();
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
               QLatin1Char('"');
    return text;
}

} // namespace

QJsonObject FleetReportJson(const FleetReport& report) {
    QJsonArray devices;
    QJsonValue image;
    for (const FleetRow& row : report.rows) {
        devices.append(RowJson(row));
        if (row.record && image.isUndefined())
            image = RunRecordJson(*row.record).value(QStringLiteral("image"));
    }
    return QJsonObject{{QStringLiteral("version"), QStringLiteral(TESSALY_VERSION)},
                       {QStringLiteral("image"), image.isUndefined() ? QJsonValue() : image},
                       {QStringLiteral("started"), RecordTime(report.started)},
                       {QStringLiteral("finished"), RecordTime(report.finished)},
                       {QStringLiteral("devices"), devices}};
}

QByteArray FleetReportCsv(const FleetReport& report) {
    QString text = kRowFields.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (const FleetRow& row : report.rows) {
        const QJsonObject fields = RowJson(row);
        QStringList line;
        for (const QString& field : kRowFields)
            line << CsvField(fields.value(field));
        text += line.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool WriteReportFile(const QString& fileName, const QByteArray& bytes, QString* error) {
    QString reason;
    if (WriteFileAtomically(fileName, bytes, &reason))
        return true;
    *error = fileName + QStringLiteral(": ") + reason;
    return false;
}

std::optional<QString> ReadRetryTargets(const QString& reportFile,
                                        std::vector<FleetTarget>& targets) {
    QFile file(reportFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(reportFile, file.errorString());
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    const QJsonArray devices = document.object().value(QStringLiteral("devices")).toArray();
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return QStringLiteral("%1: not a fleet report (%2)").arg(reportFile, parse.errorString());
    for (const QJsonValue& value : devices) {
        const QJsonObject device = value.toObject();
        if (device.value(QStringLiteral("result")).toString() == QLatin1String("OK"))
            continue;
        FleetTarget target;
        const QString where = QStringLiteral("%1:%2")
                                  .arg(device.value(QStringLiteral("host")).toString())
                                  .arg(device.value(QStringLiteral("port")).toInt());
        if (std::optional<QString> problem = ParseFleetHost(where, target))
            return QStringLiteral("%1: %2").arg(reportFile, *problem);
        const bool writeFailed =
            device.value(QStringLiteral("exitCode")).toInt() == Step(UpdateStep::Write).exitCode;
        target.rewrite = writeFailed || device.value(QStringLiteral("mode")).toString() ==
                                            QLatin1String("rewrite");
        targets.push_back(target);
    }
    return std::nullopt;
}
