#include "cli/IsTerminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

bool IsTerminal(std::FILE* out) {
#ifdef _WIN32
    return _isatty(_fileno(out)) != 0;
#else
    return isatty(fileno(out)) != 0;
#endif
}

int TerminalLines(std::FILE* out) {
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info;
    const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
    if (!GetConsoleScreenBufferInfo(console, &info))
        return 0;
    return info.srWindow.Bottom - info.srWindow.Top + 1;
#else
    winsize size{};
    if (ioctl(fileno(out), TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_row;
#endif
}
