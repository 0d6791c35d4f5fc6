#include "records/RunRecord.h"

#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

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

ImageSummary SummarizeImage(const TFlashWrRXCont& link) {
    ImageSummary image;
    image.source = link.RomImageSource.isEmpty()
                       ? QStringLiteral("built-in")
                       : QFileInfo(link.RomImageSource).absoluteFilePath();
    image.crc = QString::fromStdString(tessaly::HexDigits(link.ComputeRomImageCrc(), 4));
    for (const tessaly::AddressRange& r : link.RomImageRanges)
        image.bytes += std::uint64_t{r.last} - r.first + 1;
    image.pages = tessaly::CountPagesWithData(link.RomImage);
    return image;
}

QString FailedStepName(UpdateStep step) {
    switch (step) {
    case UpdateStep::None:
        return {};
    case UpdateStep::NoReader:
        return RunStepName(RunStep::Connect);
    case UpdateStep::NoImage:
        return QStringLiteral("image");
    case UpdateStep::WriteSetUp:
        return RunStepName(RunStep::SetUp);
    case UpdateStep::IdCheck:
        return RunStepName(RunStep::IdCheck);
    case UpdateStep::Erase:
        return RunStepName(RunStep::Erase);
    case UpdateStep::Write:
        return RunStepName(RunStep::Write);
    case UpdateStep::DataVerify:
        return RunStepName(RunStep::Verify);
    case UpdateStep::RomVersion:
        return RunStepName(RunStep::RomVersion);
    // Both are found by the final check.
    case UpdateStep::ChipVersion:
    case UpdateStep::VersionMismatch:
        return RunStepName(RunStep::Compare);
    }
    return {};
}

QString RecordTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QJsonObject RunRecordJson(const RunRecord& r) {
    QJsonObject steps;
    for (const auto& [step, ms] : r.steps)
        steps.insert(RunStepName(step), ms);
    return QJsonObject{
        {QStringLiteral("version"), r.version},
        {QStringLiteral("host"), r.host},
        {QStringLiteral("port"), r.port},
        {QStringLiteral("mode"), r.reWrite ? QStringLiteral("rewrite") : QStringLiteral("program")},
        {QStringLiteral("kind"), r.kind},
        {QStringLiteral("romSizeCode"), r.romSizeCode},
        {QStringLiteral("image"),
         QJsonObject{{QStringLiteral("source"), r.image.source},
                     {QStringLiteral("crc"), r.image.crc},
                     {QStringLiteral("bytes"), static_cast<qint64>(r.image.bytes)},
                     {QStringLiteral("pages"), static_cast<qint64>(r.image.pages)}}},
        {QStringLiteral("started"), RecordTime(r.started)},
        {QStringLiteral("finished"), RecordTime(r.finished)},
        {QStringLiteral("result"), r.ok ? QStringLiteral("OK") : QStringLiteral("NG")},
        {QStringLiteral("exitCode"), r.exitCode},
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
