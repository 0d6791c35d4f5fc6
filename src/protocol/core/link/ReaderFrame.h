#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// The R/W's own command frame: STX, 00, command letter, data length L, L data bytes, ETX, the
// plain 8-bit sum of everything from STX to ETX, CR. Replies are not parsed as frames; the
// link only counts their bytes and reads fixed positions.
constexpr std::uint8_t kReaderStx = 0x02;
constexpr std::uint8_t kReaderEtx = 0x03;
constexpr std::uint8_t kReaderCr = 0x0D;
constexpr std::size_t kReaderFrameOverhead = 7;

constexpr std::uint8_t kLetterN = 0x4E;
constexpr std::uint8_t kLetterO = 0x4F;
constexpr std::uint8_t kLetterU = 0x55;

// The byte at reply position 2 that means the R/W accepted a command ('0').
constexpr std::uint8_t kReaderReplyOk = 0x30;

// The access code that lets the R/W switch to program mode.
constexpr char kProgModeAccessCode[] = "480215379";

// Low 8 bits of the sum of bytes 0 to 4+L, with L read from offset 3. Bytes the frame does not
// hold are not counted, so a truncated frame cannot be read past its end.
std::uint8_t ReaderFrameSum(std::span<const std::uint8_t> frame);

// A complete request frame for `letter` carrying `data` (at most 255 bytes; more are cut).
std::vector<std::uint8_t> BuildReaderFrame(std::uint8_t letter, std::span<const std::uint8_t> data);

// Data of the operation-mode set: 10 or 00, p1, p2, p3, 01, p4 big-endian.
std::array<std::uint8_t, 7> DousaModeData(bool flag, std::uint8_t p1, std::uint8_t p2,
                                          std::uint8_t p3, std::uint16_t p4);

// Data of the program-mode switch: 9B and the access code.
std::array<std::uint8_t, 10> ProgModeData();

} // namespace tessaly
