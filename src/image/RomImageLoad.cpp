// The firmware image loaders of the link controller: S-record and Intel HEX text into the ROM
// image, the image CRC, and keeping the image on its bounds.

#include "link/TFlashWrRXCont.h"

#include "core/image/ImageTexts.h"
#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string_view>

namespace {

// Far above the S-record text of the largest image (2 MB of data takes about 6.5 MB of text);
// a larger file is no firmware of ours and is refused before it is read into memory.
constexpr qint64 kMaxFirmwareFileBytes = 64 * 1024 * 1024;

enum class ImageFormat { SRecord, IntelHex };
enum class FileLoad { Loaded, Rejected, Unreadable };

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Hex8(std::uint32_t value) {
    return QString::fromStdString(tessaly::HexDigits(value, 8));
}

void LogReadFailure(TFlashWrRXCont& link, std::string_view head, const QString& fileName,
                    const QString& reason) {
    link.RomImageFileError = Text(head) + QStringLiteral(" : ") + fileName + QStringLiteral(" (") +
                             reason + QLatin1Char(')');
    link.AddLog(link.RomImageFileError, 1);
}

// The whole file as 8-bit text. On failure the reason is logged and the image stays as it is.
bool ReadFirmwareFile(TFlashWrRXCont& link, const QString& fileName, QByteArray& text) {
    link.RomImageFileError.clear();
    link.RomImageHeldNoData = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        LogReadFailure(link, tessaly::image_text::kCannotOpen, fileName, file.errorString());
        return false;
    }
    if (file.size() > kMaxFirmwareFileBytes) {
        LogReadFailure(link, tessaly::image_text::kTooLarge, fileName,
                       QString::number(file.size()) + QStringLiteral("Bytes"));
        return false;
    }
    // Read one byte past the limit so that a file that grows or lies about its size (a pipe,
    // a device) is still caught.
    text = file.read(kMaxFirmwareFileBytes + 1);
    if (text.size() > kMaxFirmwareFileBytes) {
        LogReadFailure(link, tessaly::image_text::kTooLarge, fileName,
                       QString::number(text.size()) + QStringLiteral("Bytes"));
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        LogReadFailure(link, tessaly::image_text::kCannotRead, fileName, file.errorString());
        return false;
    }
    return true;
}

bool ParseImageText(TFlashWrRXCont& link, const QByteArray& text, ImageFormat format) {
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    const tessaly::ImageTarget target{link.RomImage, link.RomImageBase, link.RomImageEnd};
    const tessaly::ImageLoadResult result = format == ImageFormat::SRecord
                                                ? tessaly::ParseSRecords(view, target)
                                                : tessaly::ParseIntelHex(view, target);
    if (result.outOfRange)
        link.Operator().ShowOutOfRangeBox(Text(tessaly::image_text::kOutOfRange));
    link.RomImageRanges = result.ranges;
    for (const std::string& line : result.logLines)
        link.AddLog(QString::fromStdString(line), 1);
    // A text without a fault that put nothing into the image (records of another target, or
    // the wrong format for the file name) would otherwise count as a firmware: the update
    // would erase the R/W, write nothing and find the blank CRC matching.
    link.RomImageHeldNoData = result.ok && result.ranges.empty();
    if (link.RomImageHeldNoData)
        link.AddLog(Text(tessaly::image_text::kNoDataHead) + Hex8(link.RomImageBase) +
                        QLatin1Char('-') + Hex8(link.RomImageEnd) +
                        Text(tessaly::image_text::kNoDataTail),
                    1);
    const bool loaded = result.ok && !link.RomImageHeldNoData;
    if (!loaded)
        link.RomImageLoaded = 0;
    return loaded;
}

FileLoad LoadImageFile(TFlashWrRXCont& link, const QString& fileName, ImageFormat format) {
    QByteArray text;
    if (!ReadFirmwareFile(link, fileName, text))
        return FileLoad::Unreadable;
    const bool ok = ParseImageText(link, text, format);
    if (ok)
        link.RomImageLoaded = 1;
    return ok ? FileLoad::Loaded : FileLoad::Rejected;
}

} // namespace

bool TFlashWrRXCont::LoadSRecordText(const QByteArray& text) {
    RomImageSource.clear();
    return ParseImageText(*this, text, ImageFormat::SRecord);
}

bool TFlashWrRXCont::LoadSRecordFile(const QString& fileName) {
    return LoadImageFile(*this, fileName, ImageFormat::SRecord) == FileLoad::Loaded;
}

bool TFlashWrRXCont::LoadIntelHexFile(const QString& fileName) {
    return LoadImageFile(*this, fileName, ImageFormat::IntelHex) == FileLoad::Loaded;
}

bool TFlashWrRXCont::LoadRomImageFile(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    ImageFormat format;
    if (extension == QLatin1String("HEX"))
        format = ImageFormat::IntelHex;
    else if (extension == QLatin1String("MOT"))
        format = ImageFormat::SRecord;
    else
        return false;
    const FileLoad load = LoadImageFile(*this, fileName, format);
    if (load == FileLoad::Loaded)
        RomImageSource = fileName;
    // A file that could not be read never reached the image: there is no new CRC to show.
    if (load != FileLoad::Unreadable)
        AddLog(Text(tessaly::image_text::kCrcHead) +
                   QString::fromStdString(tessaly::HexDigits(ComputeRomImageCrc(), 4)),
               1);
    return load == FileLoad::Loaded;
}

std::uint16_t TFlashWrRXCont::ComputeRomImageCrc() const {
    return tessaly::ComputeRomImageCrc(RomImage, RomImageBase, RomImageCrcEnd);
}

void TFlashWrRXCont::FitRomImageToBounds(std::uint32_t oldBase) {
    if (oldBase == RomImageBase && RomImage.size() == std::size_t{RomImageEnd - RomImageBase} + 1)
        return;
    if (!tessaly::RebaseRomImage(RomImage, oldBase, RomImageBase, RomImageEnd)) {
        RomImageLoaded = 0;
        RomImageRanges.clear();
        AddLog(Text(tessaly::image_text::kImageOutsideNewBounds), 1);
        return;
    }
    // Every byte with data moved along; runs of blank bytes may have fallen off the ends.
    std::erase_if(RomImageRanges, [&](const tessaly::AddressRange& r) {
        return r.last < RomImageBase || r.first > RomImageEnd;
    });
    for (tessaly::AddressRange& r : RomImageRanges)
        r.first = std::max(r.first, RomImageBase);
}
