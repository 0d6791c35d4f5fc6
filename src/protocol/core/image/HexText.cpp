#include "core/image/HexText.h"

namespace tessaly {

std::int32_t HexTextToInt(std::string_view text) {
    std::uint32_t value = 0;
    std::uint32_t place = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const char c = *it;
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        value += digit * place;
        place *= 16;
    }
    return static_cast<std::int32_t>(value);
}

std::string_view LineField(std::string_view line, std::size_t first, std::size_t last) {
    if (first == 0 || first > line.size() || last < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

} // namespace tessaly
