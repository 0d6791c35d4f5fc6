#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/image/RomImage.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

#include <algorithm>

bool TFlashWrRXCont::PageHasData(std::span<const std::uint8_t, 256> page) {
    return std::any_of(page.begin(), page.end(), [](std::uint8_t b) { return b != 0xFF; });
}

int TFlashWrRXCont::BootProgram(int cpuProg) {
    Operator().SetGauge(0);
    const std::uint64_t flashBytes = std::uint64_t(RomImageEnd) - RomImageBase + 1;
    // The pages are taken from the start of the image, which must span exactly the bounds; an
    // image of another size would be read past its end or put its data at the wrong
    // addresses, so nothing is sent then.
    if (RomImage.size() != flashBytes) {
        AddLog(QString::fromUtf8(BootLog::kProgFailed), 0);
        return 0;
    }
    if (!SelUserArea()) {
        AddLog(QString::fromUtf8(BootLog::kSelUserAreaFailed), 0);
        return 0;
    }
    const std::uint64_t pages =
        tessaly::ProgrammedBytes(flashBytes, cpuProg != 0) / tessaly::kBootPageSize;
    std::uint32_t address = RomImageBase;
    bool written = true;
    for (std::uint64_t page = 0; page < pages; ++page) {
        Operator().SetAddressText(QString::fromStdString(tessaly::HexDigits(address, 8)));
        const auto from =
            RomImage.begin() + static_cast<std::ptrdiff_t>(page * tessaly::kBootPageSize);
        std::copy(from, from + tessaly::kBootPageSize, PageBuf.begin());
        if (PageHasData(PageBuf) && !Write256Bytes(address, PageBuf)) {
            AddLog(QString::fromUtf8(BootLog::kWriteFailed), 0);
            written = false;
            break;
        }
        address += tessaly::kBootPageSize;
        Operator().SetGauge(static_cast<int>((page + 1) * 100 / pages));
    }
    // After a refused page the microcontroller stays waiting for data; only a complete image
    // is closed with the end frame, whose answer changes nothing.
    if (written)
        Write256Bytes(tessaly::kBootEndAddress, PageBuf);
    AddLog(QString::fromUtf8(written ? BootLog::kProgOk : BootLog::kProgFailed), 0);
    return written ? 1 : 0;
}
