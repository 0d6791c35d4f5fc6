#include "core/boot/BootFrames.h"
#include "core/boot/BootIdCodes.h"
#include "core/boot/BootReplies.h"
#include "core/boot/BootTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace tessaly;
using Bytes = std::vector<std::uint8_t>;

namespace {
// A reply as the boot program sends it: code, size, data, sum.
Bytes Reply(std::uint8_t code, const Bytes& data) {
    Bytes r{code, static_cast<std::uint8_t>(data.size())};
    r.insert(r.end(), data.begin(), data.end());
    r.push_back(BootSum(r));
    return r;
}
} // namespace

TEST(BootSum, TwosComplementOfTheByteSum) {
    EXPECT_EQ(BootSum(Bytes{0x11, 0x01, 0x00}), 0xEE);
    EXPECT_EQ(BootSum(Bytes{0x80, 0x80}), 0x00); // already adds up to 0 mod 256
    EXPECT_EQ(BootSum(Bytes{}), 0x00);
    EXPECT_EQ(BootSum(Bytes{0x01}), 0xFF);
    const Bytes frame = CommandWithData(0x11, Bytes{0x00});
    EXPECT_EQ(frame, (Bytes{0x11, 0x01, 0x00, 0xEE}));
}

TEST(BootFrames, ProgrammingAndEraseEndFrames) {
    std::array<std::uint8_t, 256> page{};
    page.fill(0xA5);
    EXPECT_EQ(ProgrammingFrame(0xFFFFFFFFu, page), (Bytes{0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4}));
    EXPECT_EQ(EndOfProgrammingFrame(), (Bytes{0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4}));
    EXPECT_EQ(BlockEraseFrame(0xFF), (Bytes{0x58, 0x01, 0xFF, 0xA8}));
    EXPECT_EQ(BlockEraseAddrFrame(0xFFFFFFFFu), (Bytes{0x59, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xA7}));
    EXPECT_EQ(BlockEraseAddrFrame(0xFFFFB800u), (Bytes{0x59, 0x04, 0xFF, 0xFF, 0xB8, 0x00, 0xED}));
    EXPECT_EQ(BlockEraseAddrFrame(0xFFFC0000u), (Bytes{0x59, 0x04, 0xFF, 0xFC, 0x00, 0x00, 0xA8}));
}

TEST(BootFrames, ProgrammingFrameCarriesAddressAndPageWithoutSize) {
    std::array<std::uint8_t, 256> page{};
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<std::uint8_t>(i);
    const Bytes frame = ProgrammingFrame(0xFFFC0100u, page);
    ASSERT_EQ(frame.size(), 262u);
    EXPECT_EQ(frame[0], 0x50);
    EXPECT_EQ((Bytes{frame.begin() + 1, frame.begin() + 5}), (Bytes{0xFF, 0xFC, 0x01, 0x00}));
    EXPECT_EQ(frame[5], 0x00);
    EXPECT_EQ(frame[260], 0xFF);
    EXPECT_EQ(BootSum({frame.data(), 261}), frame[261]);
}

TEST(BootFrames, SelectionFrames) {
    EXPECT_EQ(DeviceSelectFrame({'8', 'a', '0', '2'}),
              (Bytes{0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}));
    EXPECT_EQ(SelectBitRateFrame(1152, 1356, 4, 2),
              (Bytes{0x3F, 0x07, 0x04, 0x80, 0x05, 0x4C, 0x02, 0x04, 0x02, 0xDD}));
    EXPECT_EQ(SelectBitRateFrame(1152, 0, 2, 1),
              (Bytes{0x3F, 0x07, 0x04, 0x80, 0x00, 0x00, 0x02, 0x02, 0x01, 0x31}));
    EXPECT_EQ(SelectClockModeFrame(0), (Bytes{0x11, 0x01, 0x00, 0xEE}));
}

TEST(BootFrames, MemReadLockBitsAndIdCode) {
    const Bytes read = MemReadFrame(1, 0xFFFA0000u, 256, 0);
    EXPECT_EQ(read, (Bytes{0x52, 0x09, 0x01, 0xFF, 0xFA, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                           BootSum({read.data(), 11})}));
    const Bytes readProg = MemReadFrame(1, 0xFFFA0000u, 256, 1);
    EXPECT_EQ(readProg[0], 0xFF);
    EXPECT_EQ(BootSum({readProg.data(), 11}), readProg[11]);

    EXPECT_EQ(LockBitFrame(0x71, 0xFFFEFFFFu), (Bytes{0x71, 0x04, 0x01, 0xFE, 0xFF, 0xFF, 0x8E}));
    EXPECT_EQ(LockBitFrame(0x77, 0x12345678u)[3], 0x34); // bits 31-24 are not sent

    const Bytes id = IdCodeFrame(IdCodeA);
    ASSERT_EQ(id.size(), 19u);
    EXPECT_EQ(id[1], 0x10);
    EXPECT_EQ(std::string(id.begin() + 2, id.begin() + 18), "PLM4QXW7BBN2H-C8");
    EXPECT_EQ(std::string(IdCodeB.begin(), IdCodeB.end()), "G-BNQQZ5PLLX7H-4");
}

TEST(BootReplies, DeviceListOneTwoAndTruncated) {
    const Bytes one = Reply(0x30, {1, 8, '8', 'a', '0', '2', 'R', 'X', '2', '3'});
    const BootDeviceList a = DecodeDeviceList(one);
    ASSERT_EQ(a.devices.size(), 1u);
    EXPECT_EQ(a.devices[0].code, "8a02");
    EXPECT_EQ(a.devices[0].name, "RX23");
    EXPECT_TRUE(a.complete);

    const Bytes two = Reply(0x30, {2, 4, '7', 'n', '0', '5', 5, '7', '5', '0', '5', 'Z'});
    const BootDeviceList b = DecodeDeviceList(two);
    ASSERT_EQ(b.devices.size(), 2u);
    EXPECT_EQ(b.devices[0].name, "");
    EXPECT_EQ(b.devices[1].code, "7505");
    EXPECT_EQ(b.devices[1].name, "Z");

    // A count that promises more than the data carries, and a name running past the end.
    const BootDeviceList c = DecodeDeviceList(Reply(0x30, {3, 10, '8', 'a'}));
    EXPECT_EQ(c.count, 3);
    ASSERT_EQ(c.devices.size(), 1u);
    EXPECT_EQ(c.devices[0].code, "8a");
    EXPECT_FALSE(c.complete);
}

TEST(BootReplies, RatiosFrequenciesAreas) {
    const BootRatioList r = DecodeRatioList(Reply(0x32, {2, 3, 1, 2, 4, 1, 8}));
    ASSERT_EQ(r.ratios.size(), 2u);
    EXPECT_EQ(r.ratios[0], (std::vector<std::uint8_t>{1, 2, 4}));
    EXPECT_EQ(r.ratios[1], (std::vector<std::uint8_t>{8}));

    const BootFrequencyList f = DecodeFrequencyList(Reply(0x33, {1, 0x0C, 0x80, 0x0C, 0x80}));
    ASSERT_EQ(f.clocks.size(), 1u);
    EXPECT_EQ(f.clocks[0].min, 3200);
    EXPECT_EQ(FormatFrequency(3200), "32.00");
    EXPECT_EQ(FormatFrequency(1356), "13.56");
    EXPECT_EQ(FormatFrequency(50), ".50");
    EXPECT_EQ(FormatFrequency(100), "1.00");

    const BootAreaList a = DecodeAreaList(Reply(0x35, {2, 0xFF, 0xFC, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                                       0x00, 0x10, 0, 0, 0x00, 0x10, 0x1F, 0xFF}));
    ASSERT_EQ(a.areas.size(), 2u);
    EXPECT_EQ(a.areas[0].first, 0xFFFC0000u);
    EXPECT_EQ(a.areas[1].last, 0x00101FFFu);
    EXPECT_EQ(DecodeAreaList(Reply(0x34, {0})).areas.size(), 0u);
    EXPECT_FALSE(DecodeAreaList(Reply(0x34, {1, 0xFF, 0xFC})).complete);
}

TEST(BootReplies, SmallFieldsAndShortReplies) {
    EXPECT_EQ(DecodeProgrammingSize(Reply(0x37, {0x01, 0x00})), 256);
    EXPECT_FALSE(DecodeProgrammingSize(Reply(0x37, {0x01})));
    EXPECT_TRUE(DecodeDataAreaAvailable(Reply(0x3A, {0x21})));
    EXPECT_FALSE(DecodeDataAreaAvailable(Reply(0x3A, {0x22})));
    EXPECT_FALSE(DecodeDataAreaAvailable(Reply(0x3A, {})));
    EXPECT_EQ(DecodeChecksum(Reply(0x5B, {0x12, 0x34, 0xAB, 0xCD})), 0x1234ABCDu);
    const auto s = DecodeProgStatus(Reply(0x5F, {0x3F, 0x00}));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->status, 0x3F);
    EXPECT_FALSE(DecodeProgStatus(Reply(0x5F, {0x3F})));
    EXPECT_EQ(DecodeFirstClockMode(Reply(0x31, {0x02, 0x03})), 0x02);
    EXPECT_FALSE(DecodeFirstClockMode(Reply(0x31, {})));
    // A size byte larger than what the buffer holds reads only what is there.
    const Bytes cut{0x30, 0xFF, 0x01, 0x04};
    EXPECT_EQ(InquiryData(cut).size(), 1u);
    EXPECT_TRUE(InquiryData(Bytes{0x30, 0x00}).empty());
}

TEST(BootTexts, StatusAndErrorTexts) {
    EXPECT_STREQ(BootStatusText(0x3F), "書き込み消去ホストコマンド待ち");
    EXPECT_STREQ(BootStatusText(0x1F),
                 "書き込み消去ホストコマンド待ち状態への遷移待ち（ビットレート選択完了）");
    EXPECT_STREQ(BootStatusText(0x00), "????");
    EXPECT_STREQ(BootErrorText(0x00), "エラーなし");
    EXPECT_STREQ(BootErrorText(0x2B), "データ長エラー");
    EXPECT_STREQ(BootErrorText(0xFF), "ビットレート合わせ込み確認エラー");
    EXPECT_STREQ(BootErrorText(0x12), "????");
}
