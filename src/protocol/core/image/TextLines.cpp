#include "core/image/TextLines.h"

#include <algorithm>

namespace tessaly {

void ForEachTextLine(std::string_view text, const std::function<bool(std::string_view)>& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::size_t next = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++next;
        if (!visit(text.substr(start, end - start)))
            return;
        start = next;
    }
}

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\x1A'; });
}

} // namespace tessaly
