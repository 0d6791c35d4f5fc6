#pragma once

#include <functional>
#include <string_view>

namespace tessaly {

// Walks the lines of a text file as the program reads them: a line ends at CR LF, at LF or at a
// lone CR (firmware files come from every kind of editor and tool; a file with CR-only line
// ends read as one long line would load as an empty image), and a final line end starts no
// further empty line.
// The bytes are taken as they are (8-bit text). `visit` returns false to stop early. The lines
// are views into `text`: nothing is copied, so a large file costs no more memory than its text.
void ForEachTextLine(std::string_view text, const std::function<bool(std::string_view)>& visit);

// True for a line with nothing but blanks and the end-of-file mark (0x1A) some tools put last.
bool IsBlankLine(std::string_view line);

} // namespace tessaly
