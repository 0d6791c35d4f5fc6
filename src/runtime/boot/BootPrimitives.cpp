#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

#include <algorithm>

namespace {

std::uint32_t LimitMs(std::int32_t timeoutMs) {
    return static_cast<std::uint32_t>(std::max<std::int32_t>(timeoutMs, 0));
}

// The largest long reply ReplyBuf takes: code, four size bytes and the sum around the data.
constexpr std::uint32_t kMaxDataReplyBytes = 1280 - 6;

// The error-code byte of a refusal is only logged, as a debug line.
void LogErrorCode(TFlashWrRXCont& link, std::uint8_t code) {
    link.AddLog(QString::fromUtf8(BootLog::kErrorCode) +
                    QString::fromStdString(tessaly::HexDigits(code, 2)),
                0);
}

} // namespace

int TFlashWrRXCont::WaitRxCount(std::int32_t count, std::int32_t timeoutMs) {
    StartTickTimer();
    return WaitForRxCount(count, LimitMs(timeoutMs)) ? 1 : 0;
}

int TFlashWrRXCont::WaitAck(std::uint8_t expected, std::int32_t timeoutMs) {
    StartTickTimer();
    if (!WaitForRxCount(1, LimitMs(timeoutMs)))
        return 0;
    if (ReadRxByte() == expected)
        return 1;
    // A refusal: its error code follows, within what is left of the same time-out.
    if (WaitForRxCount(1, LimitMs(timeoutMs)))
        LogErrorCode(*this, ReadRxByte());
    return 0;
}

int TFlashWrRXCont::ReadInquiryReply(std::uint8_t replyCode, std::int32_t timeoutMs,
                                     std::int32_t& outLen, BootReply& buf) {
    StartTickTimer();
    if (!WaitForRxCount(2, LimitMs(timeoutMs)))
        return 0;
    if (PeekRxByte(0) != replyCode)
        return 0;
    const int total = PeekRxByte(1) + 3; // never more than the 258 bytes of buf
    if (!WaitForRxCount(total, LimitMs(timeoutMs)))
        return 0;
    for (int i = 0; i < total; ++i)
        buf[static_cast<std::size_t>(i)] = ReadRxByte();
    outLen = total;
    const auto covered = std::span<const std::uint8_t>(buf.data(), total - 1);
    return tessaly::BootSum(covered) == buf[static_cast<std::size_t>(total - 1)] ? 1 : 0;
}

int TFlashWrRXCont::ReadDataReply(std::uint8_t replyCode, std::int32_t timeoutMs,
                                  std::int32_t& outLen) {
    StartTickTimer();
    if (!WaitForRxCount(5, LimitMs(timeoutMs)))
        return 0;
    if (PeekRxByte(0) != replyCode)
        return 0;
    std::uint32_t announced = 0;
    for (int i = 1; i <= 4; ++i)
        announced = (announced << 8) | PeekRxByte(i);
    if (announced > kMaxDataReplyBytes)
        return 0;
    const int total = static_cast<int>(announced) + 6;
    if (!WaitForRxCount(total, LimitMs(timeoutMs)))
        return 0;
    for (int i = 0; i < total; ++i)
        ReplyBuf[static_cast<std::size_t>(i)] = ReadRxByte();
    outLen = total;
    const auto covered = std::span<const std::uint8_t>(ReplyBuf.data(), total - 1);
    return tessaly::BootSum(covered) == ReplyBuf[static_cast<std::size_t>(total - 1)] ? 1 : 0;
}

int TFlashWrRXCont::ReadStatusReply(std::int32_t timeoutMs, std::uint8_t& status) {
    StartTickTimer();
    if (!WaitForRxCount(1, LimitMs(timeoutMs)))
        return 0;
    status = ReadRxByte();
    if (status != tessaly::kBootStatusError)
        return 1;
    if (WaitForRxCount(1, LimitMs(timeoutMs))) {
        status = ReadRxByte();
        LogErrorCode(*this, status);
    }
    return 0;
}

int TFlashWrRXCont::SendBootFrame(const std::vector<std::uint8_t>& frame) {
    FlushRx();
    return SendBytes(frame.data(), static_cast<int>(frame.size()));
}

int TFlashWrRXCont::SendBootFrameAck(const std::vector<std::uint8_t>& frame,
                                     std::uint8_t expected) {
    SendBootFrame(frame);
    return WaitAck(expected, kBootReplyMs);
}

int TFlashWrRXCont::SendBootByte(std::uint8_t command, std::uint8_t expected) {
    return SendBootFrameAck({command}, expected);
}

int TFlashWrRXCont::SendInquiry(std::uint8_t command, std::uint8_t replyCode, std::int32_t& outLen,
                                BootReply& buf) {
    SendBootFrame({command});
    return ReadInquiryReply(replyCode, kBootReplyMs, outLen, buf);
}
