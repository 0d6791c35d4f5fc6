#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

namespace {

// The RX231 kind erases 2 KB blocks by address, from the top of the flash downward.
constexpr std::uint32_t kBlockSize231 = 2048;
constexpr std::uint32_t kTopBlock231 = 0xFFFFF800u;
// The top 16 KB (eight blocks) stay when the R/W itself switched into program mode.
constexpr std::int64_t kReservedBlocks231 = 8;
// The RX63x kind erases blocks 0 to 29 by number; blocks 0 to 3 are the reserved top 16 KB.
constexpr int kLastBlock63x = 29;
constexpr int kFirstUnreservedBlock63x = 4;

} // namespace

int TFlashWrRXCont::BootErase(int cpuProg) {
    Operator().SetGauge(0);
    if (UserAreaBlankCheck()) {
        AddLog(QString::fromUtf8(BootLog::kUserRomBlank), 0);
        return 1;
    }
    AddLog(QString::fromUtf8(BootLog::kUserRomNotBlank), 0);
    if (!SelErase()) {
        AddLog(QString::fromUtf8(BootLog::kSelEraseFailed), 0);
        return 0;
    }
    bool erased = true;
    if (BootTargetIsRx231()) {
        std::int64_t count = (RomImageEnd - RomImageBase) / kBlockSize231 + 1;
        std::uint32_t address = kTopBlock231;
        if (cpuProg) {
            count -= kReservedBlocks231;
            address -= static_cast<std::uint32_t>(kReservedBlocks231) * kBlockSize231;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            if (!BlockEraseAddr(address)) {
                AddLog(QString::number(i) + QString::fromUtf8(BootLog::kBlockEraseFailedAt) +
                           QString::fromStdString(
                               tessaly::HexDigits(static_cast<std::uint32_t>(i), 8)),
                       0);
                erased = false;
                break;
            }
            address -= kBlockSize231;
            Operator().SetGauge(static_cast<int>((i + 1) * 100 / count));
        }
        // The boot program leaves the block selection only on the end address, whatever came
        // before; its answer changes nothing.
        BlockEraseAddr(RomImageEnd);
    } else {
        const int first = cpuProg ? kFirstUnreservedBlock63x : 0;
        for (int b = first; b <= kLastBlock63x; ++b) {
            if (!BlockErase(static_cast<std::uint8_t>(b))) {
                AddLog(QString::number(b) + QString::fromUtf8(BootLog::kBlockEraseFailed), 0);
                erased = false;
                break;
            }
            AddLog(QString::number(b) + QString::fromUtf8(BootLog::kBlockErased), 0);
            Operator().SetGauge((b - first + 1) * 100 / (kLastBlock63x - first + 1));
        }
        BlockErase(tessaly::kBootEndBlock);
    }
    AddLog(QString::fromUtf8(erased ? BootLog::kEraseOk : BootLog::kEraseFailed), 0);
    return erased ? 1 : 0;
}
