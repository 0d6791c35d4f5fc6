#include "core/image/RomImage.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "support/FakeLinkEnvironment.h"
#include "support/VectorLogSink.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class BoxCounter final : public LinkOperator {
public:
    void ShowOutOfRangeBox(const QString& text) override { boxes.append(text); }
    QStringList boxes;
};

QByteArray BuiltInFirmware() {
    return EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
}

tagOptionPara Settings(std::int32_t romSizeCode) {
    tagOptionPara option;
    option.fCPUType = 5;
    option.fROMSize = romSizeCode;
    return option;
}

} // namespace

TEST(ImageEmbedded, FillsThe256KImage) {
    const QByteArray text = BuiltInFirmware();
    if (text.isEmpty())
        GTEST_SKIP() << "this build carries no built-in firmware yet";
    FakeLinkEnvironment env;
    VectorLogSink log;
    BoxCounter person;
    TFlashWrRXCont link(env, &log, Settings(11), {}, &person);
    ASSERT_TRUE(link.LoadSRecordText(text));
    EXPECT_TRUE(person.boxes.isEmpty());
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("プログラムデータ読み込み終了[64637Bytes]")});
    // Two parts: 7,336 bytes in the top 16 KB and 57,301 below it; blank flash everywhere else.
    std::uint64_t top = 0;
    std::uint64_t below = 0;
    std::vector<bool> written(link.RomImage.size(), false);
    for (const tessaly::AddressRange& r : link.RomImageRanges) {
        ASSERT_GE(r.first, 0xFFFC0000u);
        ASSERT_TRUE(r.last < 0xFFFFC000u || r.first >= 0xFFFFC000u);
        (r.first >= 0xFFFFC000u ? top : below) += std::uint64_t{r.last} - r.first + 1;
        for (std::uint64_t a = r.first; a <= r.last; ++a)
            written[static_cast<std::size_t>(a - link.RomImageBase)] = true;
    }
    EXPECT_EQ(top, 7336u);
    EXPECT_EQ(below, 57301u);
    for (std::size_t i = 0; i < link.RomImage.size(); ++i) {
        if (!written[i]) {
            ASSERT_EQ(link.RomImage[i], 0xFF) << std::hex << link.RomImageBase + i;
        }
    }
    // The main code leaves every 16th page blank.
    const auto blankPage = link.RomImage.begin() + 0x0F00; // 0xFFFC0F00
    EXPECT_TRUE(std::all_of(blankPage, blankPage + 256, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_NE(link.RomImage[0x0EFF], 0xFF);
    EXPECT_NE(link.RomImage[0x1000], 0xFF);
    // Worked out apart from this code, from the generated firmware text.
    EXPECT_EQ(link.ComputeRomImageCrc(), 0x3062);
    EXPECT_EQ(tessaly::CountPagesWithData(link.RomImage), 254u);
}

TEST(ImageEmbedded, DoesNotFitA64KImage) {
    const QByteArray text = BuiltInFirmware();
    if (text.isEmpty())
        GTEST_SKIP() << "this build carries no built-in firmware yet";
    FakeLinkEnvironment env;
    VectorLogSink log;
    BoxCounter person;
    TFlashWrRXCont link(env, &log, Settings(7), {}, &person);
    EXPECT_FALSE(link.LoadSRecordText(text));
    EXPECT_EQ(person.boxes, QStringList{QStringLiteral("データが、範囲外です！！")});
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_TRUE(std::all_of(link.RomImage.begin(), link.RomImage.end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
}
