#include "image/FirmwareImage.h"

#include "core/image/ImageTexts.h"
#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

// Far above the S-record text of the largest image (2 MB of data takes about 6.5 MB of text);
// a larger file is no firmware of ours and is refused before it is read into memory.
constexpr qint64 kMaxFirmwareFileBytes = 64 * 1024 * 1024;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Hex8(std::uint32_t value) {
    return QString::fromStdString(tessaly::HexDigits(value, 8));
}

std::string_view DamageText(tessaly::ImageDamage damage, FirmwareImage::Format format) {
    using tessaly::ImageDamage;
    namespace text = tessaly::image_text;
    switch (damage) {
    case ImageDamage::Checksum:
        return text::kDamageChecksum;
    case ImageDamage::Count:
        return text::kDamageCount;
    case ImageDamage::Wraps:
        return text::kDamageWraps;
    case ImageDamage::NotFirmware:
    case ImageDamage::None:
        break;
    }
    return format == FirmwareImage::Format::SRecord ? text::kDamageNotSRecord
                                                    : text::kDamageNotIntelHex;
}

} // namespace

void FirmwareImage::ResetRomImage() {
    RomImage.assign(static_cast<std::size_t>(RomImageEnd - RomImageBase) + 1, 0xFF);
    RomImageRanges.clear();
    RomImageLoaded = 0;
}

bool FirmwareImage::FitRomImageToBounds(std::uint32_t oldBase) {
    if (oldBase == RomImageBase && RomImage.size() == std::size_t{RomImageEnd - RomImageBase} + 1)
        return true;
    if (!tessaly::RebaseRomImage(RomImage, oldBase, RomImageBase, RomImageEnd)) {
        RomImageLoaded = 0;
        RomImageRanges.clear();
        return false;
    }
    // Every byte with data moved along; runs of blank bytes may have fallen off the ends.
    std::erase_if(RomImageRanges, [&](const tessaly::AddressRange& r) {
        return r.last < RomImageBase || r.first > RomImageEnd;
    });
    for (tessaly::AddressRange& r : RomImageRanges)
        r.first = std::max(r.first, RomImageBase);
    return true;
}

std::uint16_t FirmwareImage::ComputeRomImageCrc() const {
    return tessaly::ComputeRomImageCrc(RomImage, RomImageBase, RomImageCrcEnd);
}

// The whole file as 8-bit text. On failure the reason is reported and the image stays as it is.
bool FirmwareImage::ReadFirmwareFile(const QString& fileName, QByteArray& text,
                                     LoadReport& report) {
    RomImageFileError.clear();
    RomImageHeldNoData = false;
    RomImageDamage = tessaly::ImageDamage::None;
    RomImageDamagedLine = 0;
    const auto fail = [&](std::string_view head, const QString& reason) {
        RomImageFileError = Text(head) + QStringLiteral(" : ") + fileName + QStringLiteral(" (") +
                            reason + QLatin1Char(')');
        report.lines << RomImageFileError;
        return false;
    };
    // Looked at before it is opened: opening a pipe waits for a writer that may never come, and
    // a device or a huge file is no firmware of ours either.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(tessaly::image_text::kNotAFile, info.isDir()
                                                        ? QStringLiteral("フォルダ")
                                                        : QStringLiteral("パイプ・デバイス等"));
    if (info.size() > kMaxFirmwareFileBytes)
        return fail(tessaly::image_text::kTooLarge,
                    QString::number(info.size()) + QStringLiteral("Bytes"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(tessaly::image_text::kCannotOpen, file.errorString());
    // Read one byte past the limit so that a file that grows or lies about its size (a pipe,
    // a device) is still caught.
    text = file.read(kMaxFirmwareFileBytes + 1);
    if (text.size() > kMaxFirmwareFileBytes)
        return fail(tessaly::image_text::kTooLarge,
                    QString::number(text.size()) + QStringLiteral("Bytes"));
    if (file.error() != QFileDevice::NoError)
        return fail(tessaly::image_text::kCannotRead, file.errorString());
    return true;
}

namespace {

// The same firmware text is parsed onto the same blank image by every controller a process
// builds (each R/W of a fleet, and each rebuild after a run): the last parse is kept, and a
// repeat takes its result instead of parsing the text again.
struct LastParse {
    QByteArray text;
    FirmwareImage::Format format;
    std::uint32_t base;
    std::uint32_t end;
    std::vector<std::uint8_t> before;
    FirmwareImage after;
    FirmwareImage::LoadReport report;
};
QMutex lastParseMutex;
std::optional<LastParse> lastParse;

} // namespace

FirmwareImage::LoadReport FirmwareImage::ParseImageText(const QByteArray& text, Format format) {
    QMutexLocker lock(&lastParseMutex);
    if (lastParse && lastParse->format == format && lastParse->base == RomImageBase &&
        lastParse->end == RomImageEnd && lastParse->text == text && lastParse->before == RomImage) {
        const FirmwareImage& after = lastParse->after;
        RomImage = after.RomImage;
        RomImageRanges = after.RomImageRanges;
        RomImageDamage = after.RomImageDamage;
        RomImageDamagedLine = after.RomImageDamagedLine;
        RomImageHeldNoData = after.RomImageHeldNoData;
        if (!lastParse->report.loaded)
            RomImageLoaded = 0;
        return lastParse->report;
    }
    LastParse parse{text, format, RomImageBase, RomImageEnd, RomImage, {}, {}};
    lock.unlock();
    parse.report = ParseAnew(text, format);
    parse.after = *this;
    lock.relock();
    lastParse = std::move(parse);
    return lastParse->report;
}

FirmwareImage::LoadReport FirmwareImage::ParseAnew(const QByteArray& text, Format format) {
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    const tessaly::ImageTarget target{RomImage, RomImageBase, RomImageEnd};
    const tessaly::ImageLoadResult result = format == Format::SRecord
                                                ? tessaly::ParseSRecords(view, target)
                                                : tessaly::ParseIntelHex(view, target);
    LoadReport report;
    report.outOfRange = result.outOfRange;
    RomImageRanges = result.ranges;
    RomImageDamage = result.damage;
    RomImageDamagedLine = result.damagedLine;
    if (result.damage != tessaly::ImageDamage::None)
        report.lines << Text(tessaly::image_text::kDamagedHead) +
                            QString::number(result.damagedLine) +
                            Text(tessaly::image_text::kLineSuffix) +
                            Text(DamageText(result.damage, format)) +
                            Text(tessaly::image_text::kDamagedTail);
    if (result.overwritten)
        report.lines << Text(tessaly::image_text::kOverwrittenHead) +
                            Hex8(result.overwritten->first) + QLatin1Char('-') +
                            Hex8(result.overwritten->last) +
                            Text(tessaly::image_text::kOverwrittenTail);
    for (const std::string& line : result.logLines)
        report.lines << QString::fromStdString(line);
    // A text without a fault that put nothing into the image (records of another target, or
    // the wrong format for the file name) would otherwise count as a firmware: the update
    // would erase the R/W, write nothing and find the blank CRC matching.
    RomImageHeldNoData = result.ok && result.ranges.empty();
    // A text of no records at all has said why already.
    if (RomImageHeldNoData && result.damage == tessaly::ImageDamage::None)
        report.lines << Text(tessaly::image_text::kNoDataHead) + Hex8(RomImageBase) +
                            QLatin1Char('-') + Hex8(RomImageEnd) +
                            Text(tessaly::image_text::kNoDataTail);
    report.loaded = result.ok && !RomImageHeldNoData;
    if (!report.loaded)
        RomImageLoaded = 0;
    return report;
}

FirmwareImage::LoadReport FirmwareImage::ReadImageFile(const QString& fileName, Format format) {
    LoadReport report;
    QByteArray text;
    if (!ReadFirmwareFile(fileName, text, report))
        return report;
    const LoadReport parsed = ParseImageText(text, format);
    report.loaded = parsed.loaded;
    report.outOfRange = parsed.outOfRange;
    report.lines << parsed.lines;
    if (report.loaded)
        RomImageLoaded = 1;
    return report;
}

FirmwareImage::LoadReport FirmwareImage::ReadRomImageFile(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    Format format;
    if (extension == QLatin1String("HEX"))
        format = Format::IntelHex;
    else if (extension == QLatin1String("MOT"))
        format = Format::SRecord;
    else
        return {};
    LoadReport report = ReadImageFile(fileName, format);
    if (report.loaded)
        RomImageSource = fileName;
    // A file that could not be read never reached the image: there is no new CRC to show.
    if (RomImageFileError.isEmpty())
        report.lines << Text(tessaly::image_text::kCrcHead) +
                            QString::fromStdString(tessaly::HexDigits(ComputeRomImageCrc(), 4));
    return report;
}
