#pragma once

#include <cstdio>

// Whether `out` is a terminal, where output may be redrawn in place; a file or a pipe gets
// plain lines only.
bool IsTerminal(std::FILE* out);
