#include "DeviceScript.h"

#include "support/FakeLinkEnvironment.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr std::uint8_t kContinues = 0x80;
constexpr std::uint8_t kDelayMask = 0x7F;
constexpr std::size_t kMaxPiece = 255;

std::uint8_t DelayCode(std::uint32_t delayMs) {
    const auto root = static_cast<std::uint32_t>(std::sqrt(static_cast<double>(delayMs)));
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(root, kDelayMask));
}

} // namespace

std::vector<DeviceAnswer> ParseDeviceScript(std::span<const std::uint8_t> input) {
    std::vector<DeviceAnswer> answers;
    std::size_t at = 0;
    while (at + 2 <= input.size()) {
        const std::uint8_t flags = input[at];
        const std::size_t length = std::min<std::size_t>(input[at + 1], input.size() - at - 2);
        at += 2;
        const std::uint32_t d = flags & kDelayMask;
        DevicePiece piece{d * d, QByteArray(reinterpret_cast<const char*>(input.data() + at),
                                            static_cast<qsizetype>(length))};
        at += length;
        if (!(flags & kContinues) || answers.empty())
            answers.emplace_back();
        answers.back().push_back(std::move(piece));
    }
    return answers;
}

std::vector<std::uint8_t> EncodeDeviceScript(const std::vector<DeviceAnswer>& answers) {
    std::vector<std::uint8_t> out;
    for (const DeviceAnswer& answer : answers) {
        bool first = true;
        if (answer.empty()) {
            out.insert(out.end(), {0x00, 0x00});
            continue;
        }
        for (const DevicePiece& piece : answer) {
            qsizetype at = 0;
            std::uint8_t delay = DelayCode(piece.delayMs);
            do {
                const auto n = std::min<qsizetype>(piece.bytes.size() - at, kMaxPiece);
                out.push_back(static_cast<std::uint8_t>((first ? 0 : kContinues) | delay));
                out.push_back(static_cast<std::uint8_t>(n));
                out.insert(out.end(), piece.bytes.begin() + at, piece.bytes.begin() + at + n);
                at += n;
                first = false;
                delay = 0;
            } while (at < piece.bytes.size());
        }
    }
    return out;
}

void PlayDeviceScript(FakeLinkEnvironment& env, std::vector<DeviceAnswer> answers) {
    auto script = std::make_shared<std::vector<DeviceAnswer>>(std::move(answers));
    env.SetResponder([&env, script](const QByteArray&) {
        const std::size_t write = env.sent.size() - 1;
        if (write >= script->size())
            return;
        std::uint32_t at = 0;
        for (const DevicePiece& piece : (*script)[write]) {
            at += piece.delayMs;
            env.Reply(piece.bytes, at);
        }
    });
}
