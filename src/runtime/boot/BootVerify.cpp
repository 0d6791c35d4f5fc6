#include "boot/BootLogTexts.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

int TFlashWrRXCont::BootCrcCheck() {
    std::uint16_t crc = 0;
    if (!GetFlashCrc(crc))
        return 0;
    AddLog(QString::fromUtf8(BootLog::kCrcData) +
               QString::fromStdString(tessaly::HexDigits(crc, 4)),
           0);
    return crc == ComputeRomImageCrc() ? 1 : 0;
}
