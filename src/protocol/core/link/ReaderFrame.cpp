#include "core/link/ReaderFrame.h"

#include <algorithm>

namespace tessaly {

std::uint8_t ReaderFrameSum(std::span<const std::uint8_t> frame) {
    if (frame.size() < 4)
        return 0;
    const std::size_t counted = std::min<std::size_t>(frame[3] + std::size_t{5}, frame.size());
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < counted; ++i)
        sum = static_cast<std::uint8_t>(sum + frame[i]);
    return sum;
}

std::vector<std::uint8_t> BuildReaderFrame(std::uint8_t letter,
                                           std::span<const std::uint8_t> data) {
    const std::size_t length = std::min<std::size_t>(data.size(), 255);
    std::vector<std::uint8_t> frame;
    frame.reserve(length + kReaderFrameOverhead);
    frame.push_back(kReaderStx);
    frame.push_back(0x00);
    frame.push_back(letter);
    frame.push_back(static_cast<std::uint8_t>(length));
    frame.insert(frame.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    frame.push_back(kReaderEtx);
    frame.push_back(ReaderFrameSum(frame));
    frame.push_back(kReaderCr);
    return frame;
}

std::array<std::uint8_t, 7> DousaModeData(bool flag, std::uint8_t p1, std::uint8_t p2,
                                          std::uint8_t p3, std::uint16_t p4) {
    return {static_cast<std::uint8_t>(flag ? 0x10 : 0x00),
            p1,
            p2,
            p3,
            0x01,
            static_cast<std::uint8_t>(p4 >> 8),
            static_cast<std::uint8_t>(p4 & 0xFF)};
}

std::array<std::uint8_t, 10> ProgModeData() {
    std::array<std::uint8_t, 10> data{};
    data[0] = 0x9B;
    std::copy_n(kProgModeAccessCode, 9, data.begin() + 1);
    return data;
}

} // namespace tessaly
