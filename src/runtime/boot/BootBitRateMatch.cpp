#include "core/boot/BootFrames.h"
#include "core/link/Stopwatch.h"
#include "link/TFlashWrRXCont.h"

namespace {

// The boot program needs a moment after reset before it listens for the matching bytes.
constexpr std::uint32_t kMatchStartPauseMs = 100;
// How long one round of matching bytes waits for the microcontroller to answer.
constexpr std::uint32_t kMatchAnswerMs = 100;
constexpr int kMatchBurst = 10;    // bytes sent before the first wait
constexpr int kMatchMaxBytes = 30; // re-write mode gives up after this many

// Waits for any byte on a stopwatch of its own: the controller's belongs to the reply waits.
bool WaitForAnyByte(TFlashWrRXCont& link, std::uint32_t limitMs) {
    tessaly::Stopwatch watch;
    LinkClock& clock = link.Env().Clock();
    watch.Start(clock.NowMs());
    for (;;) {
        link.ProcessMessages();
        if (link.RxAvailable() > 0)
            return true;
        link.ProcessMessages();
        if (watch.Expired(clock.NowMs(), limitMs))
            return false;
        link.WaitForEvents(watch.Remaining(clock.NowMs(), limitMs));
    }
}

void SendMatchByte(TFlashWrRXCont& link) {
    const std::uint8_t zero = tessaly::kBootMatchByte;
    link.SendBytes(&zero, 1);
}

} // namespace

int TFlashWrRXCont::BitRateMatch() {
    SleepMs(kMatchStartPauseMs);
    bool answered = false;
    if (fCpuProg) {
        for (int i = 0; i < kMatchBurst; ++i)
            SendMatchByte(*this);
        answered = WaitForAnyByte(*this, kMatchAnswerMs);
    } else {
        // Every send empties the ring, so only an answer to the last byte sent counts.
        for (int i = 0; i < kMatchMaxBytes && !answered; ++i) {
            SendMatchByte(*this);
            if (i >= kMatchBurst - 1)
                answered = WaitForAnyByte(*this, kMatchAnswerMs);
        }
    }
    if (!answered)
        return 0;
    FlushRx();
    const std::uint8_t confirm = tessaly::kBootMatchConfirm;
    SendBytes(&confirm, 1);
    if (!WaitRxCount(1, kBootReplyMs))
        return 0;
    return ReadRxByte() == tessaly::kBootMatchConfirmReply ? 1 : 0;
}
