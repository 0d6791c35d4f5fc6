#include "core/link/RxRing.h"

namespace tessaly {

std::size_t RxRing::Write(std::span<const std::uint8_t> bytes) {
    std::size_t stored = 0;
    for (std::uint8_t b : bytes) {
        if (Available() >= kCapacity) {
            dropped_ += bytes.size() - stored;
            break;
        }
        buf_[write_] = b;
        write_ = (write_ + 1) % kSize;
        ++stored;
    }
    return stored;
}

std::size_t RxRing::Available() const {
    if (write_ >= read_)
        return write_ - read_;
    return kSize - read_ + write_;
}

std::uint8_t RxRing::ReadByte() {
    if (write_ == read_)
        return 0;
    std::uint8_t b = buf_[read_];
    read_ = (read_ + 1) % kSize;
    return b;
}

std::uint8_t RxRing::Peek(std::size_t offset) const {
    if (offset >= Available())
        return 0;
    return buf_[(read_ + offset) % kSize];
}

void RxRing::Reset() {
    write_ = 0;
    read_ = 0;
}

void RxRing::SetPositions(std::size_t read, std::size_t write) {
    read_ = read % kSize;
    write_ = write % kSize;
}

} // namespace tessaly
