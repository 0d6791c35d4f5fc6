#include "core/link/ReaderFrame.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

using namespace tessaly;
using Bytes = std::vector<std::uint8_t>;

namespace {
const std::uint8_t kVersionData[] = {0x90, 0x00};
const std::uint8_t k9DData[] = {0x9D};
} // namespace

TEST(ReaderFrame, CommandsAsTheReaderExpectsThem) {
    EXPECT_EQ(BuildReaderFrame(kLetterN, DousaModeData(false, 0, 0, 8, 0)),
              (Bytes{0x02, 0x00, 0x4E, 0x07, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00, 0x00, 0x03, 0x63,
                     0x0D}));
    EXPECT_EQ(BuildReaderFrame(kLetterO, kVersionData),
              (Bytes{0x02, 0x00, 0x4F, 0x02, 0x90, 0x00, 0x03, 0xE6, 0x0D}));
    EXPECT_EQ(BuildReaderFrame(kLetterU, kVersionData),
              (Bytes{0x02, 0x00, 0x55, 0x02, 0x90, 0x00, 0x03, 0xEC, 0x0D}));
    EXPECT_EQ(BuildReaderFrame(kLetterN, k9DData),
              (Bytes{0x02, 0x00, 0x4E, 0x01, 0x9D, 0x03, 0xF1, 0x0D}));
}

TEST(ReaderFrame, OperationModeFlagAndWideParameter) {
    const auto frame = BuildReaderFrame(kLetterN, DousaModeData(true, 0, 0, 8, 0x1234));
    const Bytes data(frame.begin() + 4, frame.begin() + 11);
    EXPECT_EQ(data, (Bytes{0x10, 0x00, 0x00, 0x08, 0x01, 0x12, 0x34}));
    // Plain sum, not the boot-mode two's complement: 02+4E+07+10+08+01+12+34+03 = 0xB9.
    EXPECT_EQ(frame[12], 0xB9);
    EXPECT_EQ(frame.size(), 14u);
}

TEST(ReaderFrame, ProgramModeCarriesTheAccessCode) {
    const auto frame = BuildReaderFrame(kLetterN, ProgModeData());
    ASSERT_EQ(frame.size(), 17u);
    EXPECT_EQ(frame[3], 10);
    EXPECT_EQ(frame[4], 0x9B);
    EXPECT_EQ(std::string(frame.begin() + 5, frame.begin() + 14), "480215379");
    const unsigned sum = std::accumulate(frame.begin(), frame.begin() + 15, 0u);
    EXPECT_EQ(frame[15], sum & 0xFF);
    EXPECT_EQ(frame[16], 0x0D);
}

TEST(ReaderFrame, SumNeverReadsPastATruncatedFrame) {
    // The length byte claims 200 data bytes; only the bytes present are counted.
    const Bytes truncated{0x02, 0x00, 0x4E, 200, 0x01};
    EXPECT_EQ(ReaderFrameSum(truncated), (0x02 + 0x4E + 200 + 0x01) & 0xFF);
    EXPECT_EQ(ReaderFrameSum(Bytes{0x02, 0x00}), 0);
}
