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
    const auto page = [&](std::uint64_t index) {
        return std::span<const std::uint8_t>(RomImage).subspan(index * tessaly::kBootPageSize,
                                                               tessaly::kBootPageSize);
    };
    // The progress counts the pages that are sent: the blank ones between them take no time.
    std::uint64_t dataPages = 0;
    for (std::uint64_t i = 0; i < pages; ++i)
        dataPages += tessaly::PageHasData(page(i)) ? 1 : 0;
    std::uint64_t sent = 0;
    std::uint32_t address = RomImageBase;
    bool written = true;
    for (std::uint64_t i = 0; i < pages; ++i) {
        Operator().SetAddressText(QString::fromStdString(tessaly::HexDigits(address, 8)));
        std::copy_n(page(i).begin(), tessaly::kBootPageSize, PageBuf.begin());
        if (PageHasData(PageBuf)) {
            if (!Write256Bytes(address, PageBuf)) {
                AddLog(QString::fromUtf8(BootLog::kWriteFailed), 0);
                written = false;
                break;
            }
            Operator().SetGauge(static_cast<int>(++sent * 100 / dataPages));
        }
        address += tessaly::kBootPageSize;
    }
    // After a refused page the microcontroller stays waiting for data; only a complete image
    // is closed with the end frame, whose answer changes nothing.
    if (written)
        Write256Bytes(tessaly::kBootEndAddress, PageBuf);
    AddLog(QString::fromUtf8(written ? BootLog::kProgOk : BootLog::kProgFailed), 0);
    return written ? 1 : 0;
}
