// tessaly-resgen KIND OUTPUT: writes one of the program's generated resources.
#include "FirmwareText.h"
#include "WaveSound.h"

#include <cstdio>
#include <cstring>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaly-resgen firmware|ring|alarm OUTPUT\n");
        return 2;
    }
    std::string content;
    if (std::strcmp(argv[1], "firmware") == 0)
        content = MakeFirmwareText();
    else if (std::strcmp(argv[1], "ring") == 0)
        content = MakeRingSound();
    else if (std::strcmp(argv[1], "alarm") == 0)
        content = MakeAlarmSound();
    else {
        std::fprintf(stderr, "tessaly-resgen: unknown kind '%s'\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) {
        std::fprintf(stderr, "tessaly-resgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
