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
    EXPECT_EQ(link.RomImageRanges, (std::vector<tessaly::AddressRange>{
                                       {0xFFFFC000u, 0xFFFFDCA7u}, {0xFFFC0000u, 0xFFFCDFD4u}}));
    // Everything outside the two parts is blank flash.
    for (std::size_t i = 0; i < link.RomImage.size(); ++i) {
        const std::uint32_t address = link.RomImageBase + static_cast<std::uint32_t>(i);
        const bool inside = (address >= 0xFFFFC000u && address <= 0xFFFFDCA7u) ||
                            (address >= 0xFFFC0000u && address <= 0xFFFCDFD4u);
        if (!inside) {
            ASSERT_EQ(link.RomImage[i], 0xFF) << std::hex << address;
        }
    }
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
