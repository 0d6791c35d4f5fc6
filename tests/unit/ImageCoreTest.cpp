#include "core/image/Crc16.h"
#include "core/image/HexText.h"
#include "core/image/RomImage.h"
#include "core/image/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;

TEST(ImageHexText, ReadsDigitsOfEitherCaseAndGivesOtherCharactersAPlace) {
    EXPECT_EQ(HexTextToInt(""), 0);
    EXPECT_EQ(HexTextToInt("7"), 7);
    EXPECT_EQ(HexTextToInt("1a"), 0x1A);
    EXPECT_EQ(HexTextToInt("Fe"), 0xFE);
    EXPECT_EQ(HexTextToInt("FFFC0000"), static_cast<std::int32_t>(0xFFFC0000u));
    EXPECT_EQ(HexTextToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexTextToInt("1G"), 0x10); // G counts nothing but takes the low place
    EXPECT_EQ(HexTextToInt("G1"), 0x01);
    EXPECT_EQ(HexTextToInt("0x10"), 0x10); // "x" too
    // Longer than 32 bits: the high digits wrap away instead of overflowing.
    EXPECT_EQ(HexTextToInt("123456789"), 0x23456789);
}

TEST(ImageHexText, FieldsAreOneBasedAndShortenAtTheEndOfTheLine) {
    const std::string_view line = "S3150000";
    EXPECT_EQ(LineField(line, 1, 2), "S3");
    EXPECT_EQ(LineField(line, 3, 4), "15");
    EXPECT_EQ(LineField(line, 7, 12), "00");
    EXPECT_EQ(LineField(line, 9, 10), "");
    EXPECT_EQ(LineField(line, 100, 101), "");
    EXPECT_EQ(LineByte(line, 3), 0x15);
    EXPECT_EQ(LineByte(line, 8), 0x0); // "0" alone
    EXPECT_EQ(LineByte("S31", 3), 0x1);
}

TEST(ImageCrc, IsCrc16X25) {
    const std::string check = "123456789";
    EXPECT_EQ(CalcCrc16(reinterpret_cast<const std::uint8_t*>(check.data()), 9), 0x906E);
    EXPECT_EQ(CalcCrc16(nullptr, 0), 0x0000);
    const std::vector<std::uint8_t> blank(245760, 0xFF);
    EXPECT_EQ(CalcCrc16(blank), 0x399F);
}

TEST(ImageCrc, CoversTheImageFromItsBaseThroughFFFFBFFF) {
    std::vector<std::uint8_t> image(0x40000, 0xFF); // 256 KB at 0xFFFC0000
    const std::uint32_t base = 0xFFFC0000u;
    EXPECT_EQ(ComputeRomImageCrc(image, base, 0xFFFFBFFFu), 0x399F);

    image[0x3C000] = 0x00; // 0xFFFFC000: the top 16 KB are not covered
    image[0x3FFFF] = 0x00;
    EXPECT_EQ(ComputeRomImageCrc(image, base, 0xFFFFBFFFu), 0x399F);

    image[0x3BFFF] = 0x00; // 0xFFFFBFFF: the last byte covered
    EXPECT_NE(ComputeRomImageCrc(image, base, 0xFFFFBFFFu), 0x399F);

    const std::vector<std::uint8_t> blank64k(0x10000, 0xFF);
    EXPECT_EQ(ComputeRomImageCrc(blank64k, 0xFFFF0000u, 0xFFFFBFFFu), 0xFFF0); // 49152 bytes
}

TEST(ImageCrc, NeverReadsPastAShortImage) {
    const std::vector<std::uint8_t> image(100, 0x12);
    EXPECT_EQ(ComputeRomImageCrc(image, 0xFFFC0000u, 0xFFFFBFFFu), CalcCrc16(image));
    EXPECT_EQ(ComputeRomImageCrc(image, 0xFFFFC000u, 0xFFFFBFFFu), CalcCrc16(nullptr, 0));
}

TEST(ImageTextLines, CrLfLfAndALoneCrEachEndALine) {
    auto lines = [](std::string_view text) {
        std::vector<std::string> out;
        ForEachTextLine(text, [&](std::string_view line) {
            out.emplace_back(line);
            return true;
        });
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(lines("a\r\nb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(lines("a\r\n"), (V{"a"}));
    EXPECT_EQ(lines("a\n\n\x1a"), (V{"a", "", "\x1a"}));
    EXPECT_EQ(lines("\r\n"), (V{""}));
    EXPECT_EQ(lines(""), V{});
    EXPECT_EQ(lines("x\ry\rz"), (V{"x", "y", "z"}));
    EXPECT_EQ(lines("x\r\r\ny\n\rz\r"), (V{"x", "", "y", "", "z"}));

    int seen = 0;
    ForEachTextLine("1\n2\n3\n", [&](std::string_view) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

TEST(ImageRomImage, CountsPagesThatHoldData) {
    std::vector<std::uint8_t> image(1024, 0xFF);
    EXPECT_EQ(CountPagesWithData(image), 0u);
    image[255] = 0xFE;
    image[256] = 0x00;
    image[1023] = 0x7F;
    EXPECT_EQ(CountPagesWithData(image), 3u);
    EXPECT_FALSE(PageHasData(std::span(image).subspan(512, 256)));
}

TEST(ImageRomImage, DataToProgramLeavesOutTheReservedTopUnlessEverythingIsWritten) {
    std::vector<std::uint8_t> image(0x8000, 0xFF);
    EXPECT_FALSE(HasDataToProgram(image, false));
    image[0x4000] = 0x00; // the first byte of the reserved top
    EXPECT_FALSE(HasDataToProgram(image, true));
    EXPECT_TRUE(HasDataToProgram(image, false));
    image[0x3FFF] = 0x00; // the last byte below it
    EXPECT_TRUE(HasDataToProgram(image, true));
    // An image no larger than the reserved top has nothing below it.
    EXPECT_FALSE(HasDataToProgram(std::span(image).subspan(0x3FFF, 0x1000), true));
}

TEST(ImageRomImage, RebaseKeepsEveryByteByAddress) {
    // 64 KB at 0xFFFF0000 with data at its first and last byte, moved to 256 KB at 0xFFFC0000.
    std::vector<std::uint8_t> image(0x10000, 0xFF);
    image[0] = 0x11;
    image[0xFFFF] = 0x22;
    ASSERT_TRUE(RebaseRomImage(image, 0xFFFF0000u, 0xFFFC0000u, 0xFFFFFFFFu));
    ASSERT_EQ(image.size(), 0x40000u);
    EXPECT_EQ(image[0x30000], 0x11);
    EXPECT_EQ(image[0x3FFFF], 0x22);
    EXPECT_EQ(CountPagesWithData(image), 2u);

    // Back to 64 KB: nothing with data is lost.
    ASSERT_TRUE(RebaseRomImage(image, 0xFFFC0000u, 0xFFFF0000u, 0xFFFFFFFFu));
    ASSERT_EQ(image.size(), 0x10000u);
    EXPECT_EQ(image[0], 0x11);
    EXPECT_EQ(image[0xFFFF], 0x22);

    // To 32 KB: the byte at 0xFFFF0000 falls off.
    EXPECT_FALSE(RebaseRomImage(image, 0xFFFF0000u, 0xFFFF8000u, 0xFFFFFFFFu));
    ASSERT_EQ(image.size(), 0x8000u);
    EXPECT_EQ(image[0x7FFF], 0x22);
    EXPECT_EQ(CountPagesWithData(image), 1u);
}
