#include "core/link/RxRing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

using tessaly::RxRing;

namespace {
std::vector<std::uint8_t> Sequence(std::size_t n, std::uint8_t first = 0) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), first);
    return v;
}
} // namespace

TEST(RxRing, CountsAcrossTheWrap) {
    RxRing ring;
    ring.SetPositions(16380, 10); // write position has wrapped past 16383
    EXPECT_EQ(ring.Available(), 14u);
    ring.SetPositions(10, 16380);
    EXPECT_EQ(ring.Available(), 16370u);
    ring.SetPositions(77, 77);
    EXPECT_EQ(ring.Available(), 0u);
}

TEST(RxRing, BytesWrittenOverTheEndComeBackInOrder) {
    RxRing ring;
    ring.SetPositions(16380, 16380);
    const auto data = Sequence(10, 0x40);
    EXPECT_EQ(ring.Write(data), 10u);
    EXPECT_EQ(ring.WriteIndex(), 6u);
    EXPECT_EQ(ring.Peek(4), 0x44);
    for (std::uint8_t expected : data)
        EXPECT_EQ(ring.ReadByte(), expected);
    EXPECT_EQ(ring.Available(), 0u);
    EXPECT_EQ(ring.ReadIndex(), 6u);
}

TEST(RxRing, OverflowKeepsUnreadBytesAndDropsTheRest) {
    RxRing ring;
    const auto first = Sequence(16000, 1);
    ASSERT_EQ(ring.Write(first), 16000u);
    const auto more = Sequence(1000, 7);
    EXPECT_EQ(ring.Write(more), RxRing::kCapacity - 16000);
    EXPECT_EQ(ring.Available(), RxRing::kCapacity);
    EXPECT_EQ(ring.DroppedBytes(), 1000 - (RxRing::kCapacity - 16000));
    // the oldest bytes, the start of a reply, are intact
    EXPECT_EQ(ring.ReadByte(), 1);
    EXPECT_EQ(ring.ReadByte(), 2);
}

TEST(RxRing, ReadingAnEmptyRingNeverWalksPastTheWriter) {
    RxRing ring;
    EXPECT_EQ(ring.ReadByte(), 0);
    EXPECT_EQ(ring.Available(), 0u);
    EXPECT_EQ(ring.Peek(0), 0);
    const std::uint8_t one[] = {0xAB};
    ring.Write(one);
    EXPECT_EQ(ring.Peek(1), 0); // past the unread bytes
    EXPECT_EQ(ring.ReadByte(), 0xAB);
    EXPECT_EQ(ring.ReadByte(), 0);
    EXPECT_EQ(ring.Available(), 0u);
}

TEST(RxRing, ResetDiscardsAndRewinds) {
    RxRing ring;
    ring.SetPositions(100, 200);
    ring.Reset();
    EXPECT_EQ(ring.Available(), 0u);
    EXPECT_EQ(ring.ReadIndex(), 0u);
    EXPECT_EQ(ring.WriteIndex(), 0u);
}
