#pragma once

#include <cstdio>

// Whether `out` is a terminal, where output may be redrawn in place; a file or a pipe gets
// plain lines only.
bool IsTerminal(std::FILE* out);

// How many lines the terminal shows; 0 when that cannot be told.
int TerminalLines(std::FILE* out);
