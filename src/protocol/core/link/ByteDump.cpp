#include "core/link/ByteDump.h"

namespace tessaly {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}

std::string ByteDump(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0x0F]);
        out.push_back(' ');
    }
    return out;
}

std::string HexDigits(std::uint32_t value, int digits) {
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kHex[value & 0x0F];
        value >>= 4;
    }
    return out;
}

} // namespace tessaly
