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
    // The built-in firmware: code from the bottom of the top 16 KB, the fixed vectors at its
    // very top, and the main code from 0xFFFC0000 with every 16th page left blank.
    std::uint64_t covered = 0;
    for (const auto& r : link.RomImageRanges)
        covered += std::uint64_t{r.last} - r.first + 1;
    EXPECT_EQ(covered, 64637u);
    ASSERT_GE(link.RomImageRanges.size(), 3u);
    EXPECT_EQ(link.RomImageRanges.front().first, 0xFFFFC000u);
    EXPECT_EQ(link.RomImageRanges[1].first, 0xFFFFFF80u);
    EXPECT_EQ(link.RomImageRanges[1].last, 0xFFFFFFFFu);
    EXPECT_EQ(link.RomImageRanges[2].first, 0xFFFC0000u);
    // Everything outside the ranges is blank flash, including whole pages inside the code.
    for (std::size_t i = 0; i < link.RomImage.size(); ++i) {
        const std::uint32_t address = link.RomImageBase + static_cast<std::uint32_t>(i);
        const bool inside = std::any_of(
            link.RomImageRanges.begin(), link.RomImageRanges.end(),
            [&](const auto& r) { return address >= r.first && address <= r.last; });
        if (!inside) {
            ASSERT_EQ(link.RomImage[i], 0xFF) << std::hex << address;
        }
    }
    const auto blankPage = link.RomImage.begin() + 0x0F00; // 0xFFFC0F00, the 16th page
    EXPECT_TRUE(std::all_of(blankPage, blankPage + 256, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_NE(link.RomImage[0x0EFF], 0xFF);
    EXPECT_NE(link.RomImage[0x1000], 0xFF);
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
