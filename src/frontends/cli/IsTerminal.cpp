#include "cli/IsTerminal.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool IsTerminal(std::FILE* out) {
#ifdef _WIN32
    return _isatty(_fileno(out)) != 0;
#else
    return isatty(fileno(out)) != 0;
#endif
}
