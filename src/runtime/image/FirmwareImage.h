#pragma once

#include "core/image/ImageLoad.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The ROM image: the firmware as it is to stand in the flash, one byte per address from
// RomImageBase through RomImageEnd, with where its last load put data and where that came
// from. A value of its own: it loads, bounds and checksums itself and only says what is to be
// logged or shown, so whoever holds it (the link controller) decides where that goes.
class FirmwareImage {
public:
    enum class Format { SRecord, IntelHex };

    // What a load did, for the holder to show: the message box first, then the lines.
    struct LoadReport {
        bool loaded = false;     // the image now holds the new firmware
        bool outOfRange = false; // a record lay outside the image: the message box is due
        QStringList lines;       // forced log lines, in order
    };

    // Blank, sized to the bounds, not loaded.
    void ResetRomImage();
    // After the bounds moved: carries the image over to the new bounds by address. False (the
    // image then not loaded) when data of the firmware no longer fits.
    bool FitRomImageToBounds(std::uint32_t oldBase);
    // CRC-16/X-25 of the image from RomImageBase through RomImageCrcEnd; the boot-mode
    // verification compares the CRC the MCU reports for its flash with it.
    std::uint16_t ComputeRomImageCrc() const;

    // A firmware file by its extension (".MOT" S-records, ".HEX" Intel HEX, any letter case),
    // ending with the image CRC line unless the file could not be read. Nothing happens, and
    // nothing is reported, for any other extension.
    LoadReport ReadRomImageFile(const QString& fileName);
    // A firmware file of a known format. Loaded only when it parsed and stored data.
    LoadReport ReadImageFile(const QString& fileName, Format format);
    // Firmware text. It leaves RomImageLoaded alone unless the text fails: the start-up
    // construction decides whether the built-in firmware counts as loaded.
    LoadReport ParseImageText(const QByteArray& text, Format format);

    std::vector<std::uint8_t> RomImage;
    std::uint32_t RomImageBase = 0xFFFF0000u;
    std::uint32_t RomImageEnd = 0xFFFFFFFFu;
    std::uint32_t RomImageCrcEnd = 0xFFFFBFFFu;
    int RomImageLoaded = 0;
    // Where the last load stored data, adjacent runs merged; empty when nothing is loaded.
    std::vector<tessaly::AddressRange> RomImageRanges;
    // Why the last firmware file could not be read (also reported); empty when it was read.
    QString RomImageFileError;
    // The last load had no fault but stored no byte within the bounds (also reported): a file
    // for another microcontroller or ROM size, or no data records at all. It is not loaded.
    bool RomImageHeldNoData = false;
    // What damaged the text of the last load and the line (from 1) of the first such record
    // (also reported); None when it was not damaged.
    tessaly::ImageDamage RomImageDamage = tessaly::ImageDamage::None;
    std::size_t RomImageDamagedLine = 0;
    // Where the image came from: the firmware file it was last loaded from, empty for the
    // built-in firmware.
    QString RomImageSource;

private:
    LoadReport ParseAnew(const QByteArray& text, Format format);
    bool ReadFirmwareFile(const QString& fileName, QByteArray& text, LoadReport& report);
};
