#include "core/image/ImageLoad.h"
#include "core/image/ImageTexts.h"
#include "core/link/TargetDevice.h"
#include "support/FirmwareRecords.h"
#include "support/TestRomImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tessaly;
using namespace firmware_records;

namespace {

std::string Summary(std::uint64_t bytes) {
    return std::string(image_text::kSummaryHead) + std::to_string(bytes) +
           std::string(image_text::kSummaryTail);
}

} // namespace

TEST(ImageSRecords, TwoPartFirmwareFillsA256KImage) {
    TestRomImage image(11, 0x00); // whatever the image held before is blanked first
    const ImageLoadResult r = ParseSRecords(TwoPartFirmware(), image.Target());
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.outOfRange);
    EXPECT_EQ(r.stored, 64637u);
    ASSERT_EQ(r.logLines.size(), 1u);
    EXPECT_EQ(r.logLines[0], "プログラムデータ読み込み終了[64637Bytes]");
    EXPECT_EQ(r.ranges,
              (std::vector<AddressRange>{{0xFFFFC000u, 0xFFFFDCA7u}, {0xFFFC0000u, 0xFFFCDFD4u}}));
    for (const AddressRange& range : r.ranges)
        for (std::uint64_t a = range.first; a <= range.last; ++a)
            ASSERT_EQ(image.At(static_cast<std::uint32_t>(a)),
                      FirmwareByte(static_cast<std::uint32_t>(a)))
                << std::hex << a;
    std::size_t blank = std::count(image.bytes.begin(), image.bytes.end(), 0xFF);
    EXPECT_EQ(blank, 0x40000u - 64637u);
}

TEST(ImageSRecords, TwoPartFirmwareIsOutOfRangeForA64KImage) {
    TestRomImage image(7);
    const ImageLoadResult r = ParseSRecords(TwoPartFirmware(), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outOfRange);
    EXPECT_TRUE(r.logLines.empty());
    EXPECT_TRUE(r.ranges.empty());
    EXPECT_TRUE(image.All(0xFF)); // the first part had been stored: it is blanked again
}

TEST(ImageSRecords, RangeRuleStoresInsideAndSkipsBits8To19Set) {
    TestRomImage image(7);
    const ImageLoadResult r =
        ParseSRecords(Join({S3(0xFFFFFF00u, {1, 2, 3, 4}), S3(0x000FFF80u, {9, 9}),
                            S3(0x123FFF00u, {8}), S2(0x0FFF10u, {7})}),
                      image.Target());
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.outOfRange);
    EXPECT_EQ(r.stored, 4u);
    EXPECT_EQ(r.logLines, std::vector<std::string>{Summary(4)});
    EXPECT_EQ(image.At(0xFFFFFF00u), 1);
    EXPECT_EQ(image.At(0xFFFFFF03u), 4);
    EXPECT_TRUE(image.AllBlankExcept(0xFFFFFF00u, 0xFFFFFF03u));

    // Every one of bits 8-19 must be set.
    for (std::uint32_t address : {0x000FFE80u, 0x000FF000u, 0x0007FF00u, 0xFFFE7F00u}) {
        const ImageLoadResult one = ParseSRecords(S3(address, {1}), image.Target());
        EXPECT_TRUE(one.outOfRange) << std::hex << address;
    }
}

TEST(ImageSRecords, OutOfRangeStopsTheLoad) {
    TestRomImage image(7);
    // Below the base without bits 8-19 set; the bad record after it is never read, so the
    // failure is the range alone.
    const ImageLoadResult r = ParseSRecords(
        Join({S3(0xFFFF0000u, {5}), S3(0xFFFE0000u, {1}), "S3050000"}), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outOfRange);
    EXPECT_TRUE(image.All(0xFF));
}

TEST(ImageSRecords, BadChecksumDiscardsTheWholeFileButParsingGoesOn) {
    TestRomImage image(11);
    std::string bad = S3(0xFFFC0010u, {0xAB, 0xCD});
    bad.back() = bad.back() == '0' ? '1' : '0';
    const std::string good = S3(0xFFFC0000u, {0x12});
    ImageLoadResult r = ParseSRecords(Join({good, bad, good}), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.outOfRange);
    EXPECT_TRUE(r.logLines.empty());
    EXPECT_TRUE(image.All(0xFF));

    // The lines after a bad record are still read: a later out-of-range record shows the box.
    r = ParseSRecords(Join({bad, S3(0x00001000u, {1})}), image.Target());
    EXPECT_TRUE(r.outOfRange);
}

TEST(ImageSRecords, OtherRecordTypesAreSkipped) {
    TestRomImage image(11);
    const ImageLoadResult r =
        ParseSRecords(Join({SRecord("S0", 0, 2, {'h', 'i'}), SRecord("S1", 0x1000, 2, {1, 2}),
                            SRecord("S1", 0xC000, 2, {3}), SRecord("S9", 0, 2, {}), "", "\x1a",
                            "s3 lower case is no record", "Hello"}),
                      image.Target());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 0u);
    EXPECT_TRUE(r.logLines.empty()); // no summary for nothing stored
    EXPECT_TRUE(image.All(0xFF));
}

TEST(ImageSRecords, ZeroLengthRecordsTestOnlyTheirChecksum) {
    TestRomImage image(11);
    ImageLoadResult r = ParseSRecords(Join({"S2040FFF00ED", "S305FFFC0000FF"}), image.Target());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 0u);
    EXPECT_TRUE(r.logLines.empty());
    r = ParseSRecords(Join({"S305FFFC0000FE"}), image.Target());
    EXPECT_FALSE(r.ok);
}

TEST(ImageSRecords, HandWrittenRecordsLand) {
    // Records written out by hand, checksums included. The bounds reach 0x00012101 but the
    // storage holds only 0x100 bytes: the S3 record counts, yet nothing of it is written.
    std::vector<std::uint8_t> bytes(0x100, 0x00);
    const ImageLoadResult r =
        ParseSRecords("S20C012000416E6E612053520D82\r\nS30700012100ABCD5E\r\n",
                      ImageTarget{bytes, 0x00012000u, 0x00012101u});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.stored, 10u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "Anna SR\r");
    EXPECT_EQ(bytes[8], 0xFF);
    EXPECT_EQ(bytes[0xFF], 0xFF);
    EXPECT_EQ(r.ranges, (std::vector<AddressRange>{{0x00012000u, 0x00012007u}}));
}

TEST(ImageSRecords, CountTooSmallForTheAddressFailsWithoutReadingOutside) {
    TestRomImage image(11);
    for (const char* line : {"S2", "S203FFFC00", "S200", "S304FFFC0000", "S300FF", "S301"}) {
        const ImageLoadResult r = ParseSRecords(line, image.Target());
        EXPECT_FALSE(r.ok) << line;
        EXPECT_FALSE(r.outOfRange) << line;
        EXPECT_TRUE(image.All(0xFF)) << line;
    }
}

TEST(ImageSRecords, WritesStayInsideTheImage) {
    // Past the last address: 0xFFFFFFF8 + 16 bytes would wrap to address 0. The record is
    // damaged and the file refused whole, the line named: no shortened image is ever written.
    TestRomImage image(7);
    std::vector<std::uint8_t> data(16, 0x5A);
    ImageLoadResult r =
        ParseSRecords(Join({S3(0xFFFFFFF0u, {1}), S3(0xFFFFFFF8u, data)}), image.Target());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.damage, ImageDamage::Wraps);
    EXPECT_EQ(r.damagedLine, 2u);
    EXPECT_TRUE(r.ranges.empty());
    EXPECT_TRUE(image.All(0xFF));

    // Storage shorter than the bounds say: nothing lands past the storage.
    std::vector<std::uint8_t> storage(0x20, 0x00);
    std::vector<std::uint8_t> guarded = storage;
    guarded.resize(0x40, 0xEE);
    r = ParseSRecords(Join({S3(0xFFFF0010u, data), S3(0xFFFF8000u, data)}),
                      ImageTarget{std::span(guarded).first(0x20), 0xFFFF0000u, 0xFFFFFFFFu});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.ranges, (std::vector<AddressRange>{{0xFFFF0010u, 0xFFFF001Fu}}));
    EXPECT_TRUE(std::all_of(guarded.begin() + 0x20, guarded.end(),
                            [](std::uint8_t b) { return b == 0xEE; }));
}

// Later records win, as they always have; the first stretch they changed is named.
TEST(ImageSRecords, OverwritingRecordsAreTakenAndTheFirstChangedRangeIsNamed) {
    TestRomImage image(11);
    const ImageLoadResult r =
        ParseSRecords(Join({S3(0xFFFC0000u, {1, 2, 3, 4}), S3(0xFFFC0001u, {2, 9, 9}),
                            S3(0xFFFC0010u, {5}), S3(0xFFFC0010u, {6})}),
                      image.Target());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(image.At(0xFFFC0002u), 9);
    EXPECT_EQ(image.At(0xFFFC0010u), 6);
    ASSERT_TRUE(r.overwritten.has_value());
    EXPECT_EQ(*r.overwritten, (AddressRange{0xFFFC0002u, 0xFFFC0003u}));
}

TEST(ImageSRecords, ShortLinesAndStrayCharactersNeverCrash) {
    TestRomImage image(11);
    std::mt19937 random(12345);
    std::string text;
    const std::string alphabet = "S0123456789ABCDEFabcdefG:\r\n\x1a \xff";
    for (int i = 0; i < 200000; ++i)
        text.push_back(alphabet[random() % alphabet.size()]);
    const ImageLoadResult r = ParseSRecords(text, image.Target());
    if (!r.ok) {
        EXPECT_TRUE(image.All(0xFF));
    }
    // One huge line of a record type that claims 250 data bytes and then some.
    const std::string huge = "S3FF" + std::string(5'000'000, 'F');
    const ImageLoadResult big = ParseSRecords(huge, image.Target());
    EXPECT_FALSE(big.ok); // 255 bytes of 0xFF sum to 0x00, not 0xFF
    EXPECT_TRUE(image.All(0xFF));
}
