#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/boot/BootReplies.h"
#include "link/TFlashWrRXCont.h"

int TFlashWrRXCont::BootSetup() {
    const auto failedAt = [this](const char* part) {
        BootSetupFailedAt = QString::fromUtf8(part);
        return 0;
    };
    BootSetupFailedAt.clear();
    if (!BitRateMatch()) {
        AddLog(QString::fromUtf8(BootLog::kMatchFailed), 0);
        return failedAt(BootLog::kMatchPart);
    }
    if (!DeviceSelect(DeviceCode)) {
        AddLog(QString::fromUtf8(BootLog::kDeviceSelectFailed), 0);
        return failedAt(BootLog::kDeviceSelectPart);
    }
    const bool rx231 = BootTargetIsRx231();
    if (!rx231) {
        BootReply reply{};
        std::int32_t length = 0;
        if (!ClockInfo(length, reply))
            return failedAt(BootLog::kClockModePart);
        // A reply that names no clock mode leaves nothing to select.
        const auto mode = tessaly::DecodeFirstClockMode({reply.data(), std::size_t(length)});
        if (!mode)
            return failedAt(BootLog::kClockModePart);
        if (!SelectClockMode(*mode)) {
            AddLog(QString::fromUtf8(BootLog::kClockModeFailed), 0);
            return failedAt(BootLog::kClockModePart);
        }
    }
    const auto bitRate = static_cast<std::uint16_t>(OptionPara.BPSspeed / 100);
    std::uint16_t freq = 0;
    if (rx231) {
        OptionPara.teibai1 = 2;
        OptionPara.teibai2 = 1;
    } else {
        freq = tessaly::InputClockField(OptionPara.freq);
    }
    const int switched = SelectBitRate(bitRate, freq, OptionPara.teibai1, OptionPara.teibai2);
    AddLog(QString::fromUtf8(BootLog::kSpeed) + QString::number(std::int32_t(bitRate) * 100), 0);
    if (!switched) {
        AddLog(QString::fromUtf8(BootLog::kBitRateFailed), 1);
        return failedAt(BootLog::kBitRatePart);
    }
    return 1;
}
