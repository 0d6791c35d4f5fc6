#include "records/RunRecord.h"

#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"
#include "image/FirmwareImage.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

QJsonValue TextOrNull(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QJsonValue ChipUpdaterJson(const std::optional<RunRecord::ChipUpdater>& chip) {
    if (!chip)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("file"), chip->file},
        {QStringLiteral("arguments"), QJsonArray::fromStringList(chip->arguments)},
        {QStringLiteral("exitCode"),
         chip->exitCode ? QJsonValue(*chip->exitCode) : QJsonValue(QJsonValue::Null)},
    };
}

} // namespace

ImageSummary SummarizeImage(const FirmwareImage& firmware) {
    ImageSummary image;
    image.source = firmware.RomImageSource.isEmpty()
                       ? QStringLiteral("built-in")
                       : QFileInfo(firmware.RomImageSource).absoluteFilePath();
    image.crc = QString::fromStdString(tessaly::HexDigits(firmware.ComputeRomImageCrc(), 4));
    for (const tessaly::AddressRange& r : firmware.RomImageRanges)
        image.bytes += std::uint64_t{r.last} - r.first + 1;
    image.pages = tessaly::CountPagesWithData(firmware.RomImage);
    return image;
}

QString RecordTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

namespace {

QString ResultText(const RunRecord& r) {
    if (r.unfinished)
        return QStringLiteral("unfinished");
    if (r.interrupted)
        return QStringLiteral("interrupted");
    if (r.skipped)
        return QStringLiteral("skipped");
    return r.ok ? QStringLiteral("OK") : QStringLiteral("NG");
}

} // namespace

QJsonObject RunRecordJson(const RunRecord& r) {
    QJsonObject steps;
    for (const auto& [step, ms] : r.steps)
        steps.insert(Step(step).recordName, ms);
    return QJsonObject{
        {QStringLiteral("version"), r.version},
        {QStringLiteral("host"), r.host},
        {QStringLiteral("port"), r.port},
        {QStringLiteral("mac"), r.mac.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.mac)},
        {QStringLiteral("mode"), r.reWrite ? QStringLiteral("rewrite") : QStringLiteral("program")},
        {QStringLiteral("kind"), r.kind},
        {QStringLiteral("romSizeCode"), r.romSizeCode},
        {QStringLiteral("image"),
         QJsonObject{{QStringLiteral("source"), r.image.source},
                     {QStringLiteral("crc"), r.image.crc},
                     {QStringLiteral("bytes"), static_cast<qint64>(r.image.bytes)},
                     {QStringLiteral("pages"), static_cast<qint64>(r.image.pages)}}},
        {QStringLiteral("started"), RecordTime(r.started)},
        {QStringLiteral("finished"),
         r.unfinished ? QJsonValue(QJsonValue::Null) : QJsonValue(RecordTime(r.finished))},
        {QStringLiteral("result"), ResultText(r)},
        {QStringLiteral("exitCode"),
         r.unfinished ? QJsonValue(QJsonValue::Null) : QJsonValue(r.exitCode)},
        {QStringLiteral("errStage"), r.errStage},
        {QStringLiteral("failedStep"),
         r.failedStep.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.failedStep)},
        {QStringLiteral("romVersionBefore"), TextOrNull(r.romVersionBefore)},
        {QStringLiteral("chipVersionBefore"), TextOrNull(r.chipVersionBefore)},
        {QStringLiteral("romVersionAfter"), TextOrNull(r.romVersionAfter)},
        {QStringLiteral("chipVersionAfter"), TextOrNull(r.chipVersionAfter)},
        {QStringLiteral("chipUpdater"), ChipUpdaterJson(r.chipUpdater)},
        {QStringLiteral("steps"), steps},
    };
}
