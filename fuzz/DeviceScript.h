#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

class FakeLinkEnvironment;

// The device's side of a conversation, as fuzzer input: what it answers to each write of the
// tool, in pieces that arrive some time apart. The input is a list of records
//
//   [flags] [length] [length bytes]
//
// flags bit 7 set: the piece continues the answer of the record before (same write);
// flags bits 0-6 = d: the piece arrives d * d ms after the write or the piece before it, so
// that short delays are fine-grained and the longest (16 s) lies beyond every time-out.
// Writes beyond the last answer get no answer at all; a truncated record keeps what is there.
struct DevicePiece {
    std::uint32_t delayMs = 0;
    QByteArray bytes;
};
using DeviceAnswer = std::vector<DevicePiece>;

std::vector<DeviceAnswer> ParseDeviceScript(std::span<const std::uint8_t> input);

// The records of `answers`, for writing seeds. A delay is rounded down to a square and a piece
// longer than 255 bytes becomes several pieces.
std::vector<std::uint8_t> EncodeDeviceScript(const std::vector<DeviceAnswer>& answers);

// Makes the environment's peer play `answers`: the Nth write of the tool gets the Nth answer.
void PlayDeviceScript(FakeLinkEnvironment& env, std::vector<DeviceAnswer> answers);
