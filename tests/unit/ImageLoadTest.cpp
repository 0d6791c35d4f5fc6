#include "core/image/ImageTexts.h"
#include "core/image/RomImage.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/FirmwareRecords.h"
#include "support/VectorLogSink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <algorithm>

using namespace firmware_records;

namespace {

class BoxCounter final : public LinkOperator {
public:
    void ShowOutOfRangeBox(const QString& text) override { boxes.append(text); }
    QStringList boxes;
};

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class ImageLoad : public ::testing::Test {
protected:
    ImageLoad() : link(env, &log, Settings(11), {}, &person) {}

    static tagOptionPara Settings(std::int32_t romSizeCode) {
        tagOptionPara option;
        option.fCPUType = 5;
        option.fROMSize = romSizeCode;
        return option;
    }

    QString Write(const QString& name, const std::string& text) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    bool ImageIs(std::uint8_t value) const {
        return std::all_of(link.RomImage.begin(), link.RomImage.end(),
                           [&](std::uint8_t b) { return b == value; });
    }

    QString CrcLine() const {
        return Q(tessaly::image_text::kCrcHead) +
               QStringLiteral("%1")
                   .arg(link.ComputeRomImageCrc(), 4, 16, QLatin1Char('0'))
                   .toUpper();
    }

    QTemporaryDir dir;
    FakeLinkEnvironment env;
    VectorLogSink log;
    BoxCounter person;
    TFlashWrRXCont link;
};

const std::string kHexFile =
    Join({HexRecord(4, 0, {0xFF, 0xFC}), HexRecord(0, 0, {1, 2, 3}), ":00000001FF"});

} // namespace

TEST_F(ImageLoad, ExtensionChoosesTheLoaderInAnyCase) {
    for (const char* name : {"a.mot", "b.MOT", "c.Mot", "d.tar.mOt"}) {
        log.lines.clear();
        link.RomImageLoaded = 0;
        EXPECT_TRUE(link.LoadRomImageFile(Write(name, S3(0xFFFC0000u, {0x42})))) << name;
        EXPECT_EQ(link.RomImageLoaded, 1);
        EXPECT_EQ(log.lines,
                  (QStringList{QStringLiteral("プログラムデータ読み込み終了[1Bytes]"), CrcLine()}));
    }
    for (const char* name : {"a.hex", "b.HEX", "c.hEx"}) {
        log.lines.clear();
        EXPECT_TRUE(link.LoadRomImageFile(Write(name, kHexFile))) << name;
        EXPECT_EQ(link.RomImage[0], 1);
        EXPECT_EQ(log.lines.size(), 2);
    }
}

TEST_F(ImageLoad, OtherExtensionsChangeNothing) {
    ASSERT_TRUE(link.LoadRomImageFile(Write("fw.mot", S3(0xFFFC0100u, {0x42}))));
    const std::vector<std::uint8_t> before = link.RomImage;
    log.lines.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir.mot")));
    for (const char* name : {"fw.txt", "fw.s19", "fw", "fw.mot.bak", "mot", "fw.", "dir.mot/fw"})
        EXPECT_FALSE(link.LoadRomImageFile(Write(QString::fromLatin1(name), S3(0xFFFC0000u, {1}))))
            << name;
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_EQ(link.RomImage, before);
    EXPECT_EQ(link.RomImageLoaded, 1);
}

TEST_F(ImageLoad, OutOfRangeShowsTheBoxOnceAndBlanksTheImage) {
    ASSERT_TRUE(link.LoadRomImageFile(Write("good.mot", S3(0xFFFC0000u, {1}))));
    log.lines.clear();
    const QString path =
        Write("far.mot", Join({S3(0xFFFC0000u, {1}), S3(0x00010000u, {2}), S3(0x00020000u, {3})}));
    EXPECT_FALSE(link.LoadRomImageFile(path));
    EXPECT_EQ(person.boxes, QStringList{QStringLiteral("データが、範囲外です！！")});
    EXPECT_EQ(link.RomImageLoaded, 0);
    EXPECT_TRUE(ImageIs(0xFF));
    EXPECT_TRUE(link.RomImageRanges.empty());
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("CRC: 399F")}); // the blank 256 KB image

    person.boxes.clear();
    EXPECT_FALSE(link.LoadRomImageFile(Write("far.hex", ":0100000001FE\r\n")));
    EXPECT_EQ(person.boxes.size(), 1);
    EXPECT_TRUE(ImageIs(0x00));
}

TEST_F(ImageLoad, BadChecksumFailsWithoutABox) {
    std::string bad = S3(0xFFFC0000u, {1, 2});
    bad.back() = bad.back() == '0' ? '1' : '0';
    EXPECT_FALSE(link.LoadRomImageFile(Write("bad.mot", Join({S3(0xFFFC0010u, {5}), bad}))));
    EXPECT_TRUE(person.boxes.isEmpty());
    EXPECT_EQ(link.RomImageLoaded, 0);
    EXPECT_TRUE(ImageIs(0xFF));
    // Why, with the line: the update logs it as the image command does.
    EXPECT_EQ(log.lines, (QStringList{QStringLiteral("NG: ファームウェアが壊れています（2行目: "
                                                     "チェックサムが一致しません）"),
                                      CrcLine()}));
}

TEST_F(ImageLoad, FileThatStoresNoByteIsNotLoaded) {
    const QString noData = QStringLiteral(
        "NG: 選択中のマイコンとROMサイズの範囲（FFFC0000-FFFFFFFF）に書き込むデータがありません");
    // S-record text under a .HEX name is no Intel HEX at all, and says so.
    const QString notHex = QStringLiteral(
        "NG: ファームウェアが壊れています（1行目: Intel HEXのレコードではありません）");
    const struct {
        const char* name;
        std::string text;
        QString why;
    } files[] = {
        {"s1.mot",
         Join({SRecord("S0", 0, 2, {'x'}), SRecord("S1", 0x1000, 2, {1, 2, 3}), "S9030000FC"}),
         noData},
        // S-record text under a .HEX name: read as Intel HEX, no line is a data record.
        {"srec.hex", Join({S3(0xFFFC0000u, {1, 2, 3}), S3(0xFFFC0003u, {4})}), notHex},
        // Every data record lies where bits 8-19 of the address are set: all skipped.
        {"skipped.hex",
         Join({HexRecord(2, 0, {0xFF, 0xF0}), HexRecord(0, 0x10, {1, 2}), ":00000001FF"}), noData},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(link.LoadRomImageFile(Write("good.mot", S3(0xFFFC0000u, {7}))));
        log.lines.clear();
        EXPECT_FALSE(link.LoadRomImageFile(Write(QString::fromLatin1(file.name), file.text)));
        EXPECT_EQ(link.RomImageLoaded, 0);
        EXPECT_TRUE(link.RomImageHeldNoData);
        EXPECT_TRUE(ImageIs(0xFF));
        EXPECT_EQ(log.lines, (QStringList{file.why, QStringLiteral("CRC: 399F")}));
        EXPECT_TRUE(person.boxes.isEmpty());
    }
}

TEST_F(ImageLoad, LoneCrEndsALineInFilesAndInTheBuiltInText) {
    const std::string text = S3(0xFFFC0000u, {7, 8}) + "\r" + S3(0xFFFFFFF0u, {9}) + "\r";
    EXPECT_TRUE(link.LoadRomImageFile(Write("cr.mot", text)));
    EXPECT_EQ(link.RomImageLoaded, 1);
    EXPECT_EQ(link.RomImage[1], 8);
    EXPECT_EQ(link.RomImage[link.RomImage.size() - 16], 9);

    std::string firmware = TwoPartFirmware();
    std::erase(firmware, '\n');
    EXPECT_TRUE(link.LoadSRecordText(QByteArray::fromStdString(firmware)));
    EXPECT_TRUE(log.Contains(QStringLiteral("プログラムデータ読み込み終了[64637Bytes]")));
}

TEST_F(ImageLoad, UnreadableFileLeavesTheImageAlone) {
    ASSERT_TRUE(link.LoadRomImageFile(Write("good.mot", S3(0xFFFC0000u, {7}))));
    const std::vector<std::uint8_t> before = link.RomImage;
    log.lines.clear();

    EXPECT_FALSE(link.LoadRomImageFile(dir.filePath(QStringLiteral("missing.mot"))));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith(Q(tessaly::image_text::kCannotOpen)));
    EXPECT_TRUE(log.lines[0].contains(QStringLiteral("missing.mot")));
    EXPECT_FALSE(link.RomImageFileError.isEmpty());

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.hex")));
    EXPECT_FALSE(link.LoadIntelHexFile(dir.filePath(QStringLiteral("folder.hex"))));
    EXPECT_FALSE(link.LoadSRecordFile(dir.filePath(QStringLiteral("missing.mot"))));

    EXPECT_EQ(link.RomImage, before);
    EXPECT_EQ(link.RomImageLoaded, 1);
    EXPECT_TRUE(person.boxes.isEmpty());

    // A good load afterwards clears the reason.
    EXPECT_TRUE(link.LoadRomImageFile(Write("again.mot", S3(0xFFFC0000u, {8}))));
    EXPECT_TRUE(link.RomImageFileError.isEmpty());
}

#ifndef Q_OS_WIN
// Opening a pipe would wait for a writer that never comes (the test would hang until its
// time limit): it is refused unopened.
TEST_F(ImageLoad, PipeIsRefusedWithoutWaitingForIt) {
    const QString path = dir.filePath(QStringLiteral("pipe.mot"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_FALSE(link.LoadRomImageFile(path));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith(Q(tessaly::image_text::kNotAFile)));
}
#endif

TEST_F(ImageLoad, OversizedFileIsRefusedBeforeItIsRead) {
    const QString path = dir.filePath(QStringLiteral("huge.mot"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(65 * 1024 * 1024)); // sparse: costs no disk
    file.close();
    EXPECT_FALSE(link.LoadRomImageFile(path));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith(Q(tessaly::image_text::kTooLarge)));
    EXPECT_EQ(link.RomImageLoaded, 0);
}

TEST_F(ImageLoad, FiftyMegabytesOfNothingIsAClearEmptyLoad) {
    const QString path = dir.filePath(QStringLiteral("zeros.hex"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(50 * 1000 * 1000)); // one line of NUL bytes
    file.close();
    // Read as an Intel HEX line, NUL characters count nothing: an empty data record at 0.
    EXPECT_FALSE(link.LoadRomImageFile(path));
    EXPECT_EQ(person.boxes.size(), 1);
    EXPECT_TRUE(ImageIs(0x00));
}

TEST_F(ImageLoad, EmbeddedTextLeavesTheLoadedFlagToTheCaller) {
    EXPECT_TRUE(link.LoadSRecordText(QByteArray::fromStdString(TwoPartFirmware())));
    EXPECT_EQ(link.RomImageLoaded, 0); // the main window sets it after the parse
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("プログラムデータ読み込み終了[64637Bytes]")});
    EXPECT_EQ(link.RomImageRanges.size(), 2u);
}

TEST_F(ImageLoad, NewBoundsCarryTheImageOverByAddress) {
    ASSERT_TRUE(link.LoadSRecordText(QByteArray::fromStdString(TwoPartFirmware())));
    link.RomImageLoaded = 1;
    const std::uint8_t at256k = link.RomImage[0];

    // 512K: the same firmware at the same addresses, as a fresh load at 512K would give.
    link.SetTargetDevice(5, 14);
    ASSERT_EQ(link.RomImage.size(), 0x80000u);
    EXPECT_EQ(link.RomImage[0x40000], at256k);
    EXPECT_EQ(link.RomImageLoaded, 1);
    TFlashWrRXCont fresh(env, nullptr, Settings(14), {});
    ASSERT_TRUE(fresh.LoadSRecordText(QByteArray::fromStdString(TwoPartFirmware())));
    EXPECT_EQ(link.RomImage, fresh.RomImage);
    EXPECT_EQ(link.ComputeRomImageCrc(), fresh.ComputeRomImageCrc());
    EXPECT_EQ(link.RomImageRanges, fresh.RomImageRanges);

    // A kind that moves no bounds changes nothing.
    link.SetTargetDevice(0, 7);
    EXPECT_EQ(link.RomImage.size(), 0x80000u);
    EXPECT_EQ(link.RomImageLoaded, 1);

    // 64K: the part at 0xFFFC0000 no longer fits. The image still spans exactly its bounds,
    // and the update will refuse to start until a firmware is loaded again.
    log.lines.clear();
    link.SetTargetDevice(5, 7);
    ASSERT_EQ(link.RomImage.size(), 0x10000u);
    EXPECT_EQ(link.RomImageLoaded, 0);
    EXPECT_TRUE(link.RomImageRanges.empty());
    EXPECT_EQ(log.lines, QStringList{Q(tessaly::image_text::kImageOutsideNewBounds)});
    EXPECT_EQ(link.RomImage[0xC000], firmware_records::FirmwareByte(0xFFFFC000u));
}

TEST_F(ImageLoad, ShrinkingKeepsAFirmwareThatStillFits) {
    ASSERT_TRUE(link.LoadRomImageFile(Write("top.mot", S3(0xFFFFFF00u, {1, 2}))));
    link.SetTargetDevice(5, 5); // 32K
    ASSERT_EQ(link.RomImage.size(), 0x8000u);
    EXPECT_EQ(link.RomImageLoaded, 1);
    EXPECT_EQ(link.RomImage[0x7F01], 2);
    EXPECT_EQ(link.RomImageRanges,
              (std::vector<tessaly::AddressRange>{{0xFFFFFF00u, 0xFFFFFF01u}}));
}
