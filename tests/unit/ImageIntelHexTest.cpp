#include "core/image/ImageLoad.h"
#include "core/image/ImageTexts.h"
#include "core/image/RomImage.h"
#include "core/link/TargetDevice.h"
#include "support/FirmwareRecords.h"
#include "support/TestRomImage.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tessaly;
using namespace firmware_records;

namespace {

std::vector<std::uint8_t> Counting(int n) {
    std::vector<std::uint8_t> data;
    for (int i = 0; i < n; ++i)
        data.push_back(static_cast<std::uint8_t>(i));
    return data;
}

const std::string kEndOfFile = ":00000001FF";

} // namespace

TEST(ImageIntelHex, ExtendedLinearAddressLoadsAtTheRealAddress) {
    TestRomImage image(11, 0x55); // what the image held before does not survive
    EXPECT_EQ(HexRecord(4, 0, {0xFF, 0xFC}), ":02000004FFFCFF");
    const ImageLoadResult r = ParseIntelHex(Join({":02000004FFFCFF", HexRecord(0, 0, Counting(16)),
                                                  HexRecord(0, 0x10, {1, 2, 3}), kEndOfFile}),
                                            image.Target());
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.outOfRange);
    EXPECT_EQ(r.stored, 19u);
    EXPECT_EQ(r.ranges, (std::vector<AddressRange>{{0xFFFC0000u, 0xFFFC0012u}}));
    EXPECT_EQ(r.logLines, std::vector<std::string>{"プログラムデータ読み込み終了[19Bytes]"});
    EXPECT_EQ(image.At(0xFFFC000Fu), 15);
    EXPECT_EQ(image.At(0xFFFC0012u), 3);
    EXPECT_EQ(image.At(0xFFFC0013u), 0xFF);
    EXPECT_EQ(CountPagesWithData(image.bytes), 1u);
    EXPECT_EQ(ComputeRomImageCrc(image.bytes, image.base, kRomImageCrcEnd), 0xD5D0);
}

TEST(ImageIntelHex, WithoutAnExtendedAddressDataLiesBelowEveryImage) {
    TestRomImage image(7);
    const ImageLoadResult r = ParseIntelHex(
        ":10010000214601360121470136007EFE09D2190140\r\n" + kEndOfFile + "\r\n", image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outOfRange);
    EXPECT_TRUE(r.logLines.empty());
    EXPECT_TRUE(image.All(0x00)); // a failed Intel HEX load leaves zeros
}

TEST(ImageIntelHex, SegmentAddressesWithBits8To19SetAreSkipped) {
    TestRomImage image(11);
    ImageLoadResult r =
        ParseIntelHex(Join({HexRecord(2, 0, {0xF0, 0x00}), HexRecord(0, 0xFF00, {1, 2}),
                            HexRecord(0, 0xFFEF, {3}), kEndOfFile}),
                      image.Target());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 0u);
    EXPECT_TRUE(r.logLines.empty());
    EXPECT_TRUE(image.All(0xFF));

    r = ParseIntelHex(Join({HexRecord(2, 0, {0xF0, 0x00}), HexRecord(0, 0x0000, {1})}),
                      image.Target());
    EXPECT_TRUE(r.outOfRange); // 0x000F0000
}

TEST(ImageIntelHex, TheLastAddressRecordDecides) {
    TestRomImage image(11);
    // Linear 0xFFFC then segment 0xF000: 0xFF00 lands at 0x000FFF00 and is skipped.
    ImageLoadResult r =
        ParseIntelHex(Join({HexRecord(4, 0, {0xFF, 0xFC}), HexRecord(2, 0, {0xF0, 0x00}),
                            HexRecord(0, 0xFF00, {7})}),
                      image.Target());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 0u);
    // Segment then linear: the data lands in the image.
    r = ParseIntelHex(Join({HexRecord(2, 0, {0xF0, 0x00}), HexRecord(4, 0, {0xFF, 0xFF}),
                            HexRecord(0, 0xFF00, {7})}),
                      image.Target());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(image.At(0xFFFFFF00u), 7);
}

TEST(ImageIntelHex, BadChecksumDiscardsTheWholeFile) {
    TestRomImage image(11);
    std::string bad = HexRecord(0, 0x0010, {0xAB});
    bad.back() = bad.back() == '0' ? '1' : '0';
    ImageLoadResult r =
        ParseIntelHex(Join({HexRecord(4, 0, {0xFF, 0xFC}), HexRecord(0, 0, {1}), bad, kEndOfFile}),
                      image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.outOfRange);
    EXPECT_TRUE(r.logLines.empty());
    EXPECT_TRUE(image.All(0x00));

    // A broken linear address record fails the file and leaves the base alone.
    std::string badLinear = HexRecord(4, 0, {0xFF, 0xFC});
    badLinear.back() = '0';
    r = ParseIntelHex(Join({badLinear, HexRecord(0, 0xFF00, {1})}), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outOfRange); // still base 0: 0x0000FF00, not 0xFFFCFF00 in the image
}

TEST(ImageIntelHex, BrokenSegmentRecordLeavesItsRawValueAsTheBase) {
    TestRomImage image(11);
    std::string bad = HexRecord(2, 0, {0xF0, 0x00});
    bad.back() = bad.back() == '0' ? '1' : '0';
    // With 0xF000 * 16 the data would land at 0x000FFF00 and be skipped; with the raw value
    // it lands at 0x0001EF00, out of range.
    const ImageLoadResult r = ParseIntelHex(Join({bad, HexRecord(0, 0xFF00, {1})}), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outOfRange);
}

TEST(ImageIntelHex, OtherRecordsAndBlankLinesAreSkipped) {
    TestRomImage image(11);
    const ImageLoadResult r = ParseIntelHex(
        Join({"", HexRecord(4, 0, {0xFF, 0xFC}), HexRecord(3, 0, {0, 0, 0, 0}),
              HexRecord(5, 0, {0, 0, 0, 0}), HexRecord(0, 0, std::vector<std::uint8_t>(0x81, 1)),
              HexRecord(0, 0x20, {}), HexRecord(0, 0x30, std::vector<std::uint8_t>(0x80, 2)),
              kEndOfFile, "", "\x1a"}),
        image.Target());
    // The colon is never looked at: the 0x1A line reads as an empty data record, here inside
    // the image.
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 0x80u);
    EXPECT_EQ(image.At(0xFFFC0000u), 0xFF); // the 0x81-byte record was skipped
    EXPECT_EQ(image.At(0xFFFC0030u), 2);
    EXPECT_EQ(image.At(0xFFFC00AFu), 2);
}

TEST(ImageIntelHex, RecordsPastTheEndOfTheAddressSpaceDamageTheFile) {
    TestRomImage image(7);
    const ImageLoadResult r =
        ParseIntelHex(Join({HexRecord(4, 0, {0xFF, 0xFF}),
                            HexRecord(0, 0xFFF8, std::vector<std::uint8_t>(16, 9))}),
                      image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.damage, ImageDamage::Wraps);
    EXPECT_EQ(r.damagedLine, 2u);
    EXPECT_TRUE(r.ranges.empty());
    EXPECT_EQ(image.At(0xFFFFFFFFu), 0x00); // a failed Intel HEX load leaves it all 0x00
}
