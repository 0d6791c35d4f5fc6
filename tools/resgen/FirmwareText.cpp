#include "FirmwareText.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr std::uint32_t kTopStart = 0xFFFFC000u;      // first file: the top 16 KB
constexpr std::uint32_t kVectorTable = 0xFFFFFF80u;   // fixed vectors at the very top
constexpr std::uint32_t kTopCodeBytes = 7336 - 128;   // code below the vectors
constexpr std::uint32_t kMainStart = 0xFFFC0000u;     // second file: the rest of 256 KB
constexpr std::uint32_t kMainBytes = 57301;
constexpr std::uint32_t kBlankPageEvery = 16;         // every 16th page of the main file is blank

struct Chunk {
    std::uint32_t address;
    std::vector<std::uint8_t> bytes;
};

class Prng { // fixed-seed LCG: the same firmware on every build
public:
    std::uint8_t Next() {
        state_ = state_ * 1103515245u + 12345u;
        std::uint8_t b = static_cast<std::uint8_t>(state_ >> 16);
        return b == 0xFF ? 0x5A : b; // keep every data page visibly non-blank
    }

private:
    std::uint32_t state_ = 0x7E55A1Fu;
};

std::string Hex2(unsigned v) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

std::string Record(char type, unsigned addressBytes, std::uint32_t address,
                   const std::uint8_t* data, std::size_t n) {
    const unsigned count = static_cast<unsigned>(addressBytes + n + 1);
    unsigned sum = count;
    std::string line = "S";
    line += type;
    line += Hex2(count);
    for (int i = static_cast<int>(addressBytes) - 1; i >= 0; --i) {
        unsigned b = (address >> (8 * i)) & 0xFF;
        sum += b;
        line += Hex2(b);
    }
    for (std::size_t i = 0; i < n; ++i) {
        sum += data[i];
        line += Hex2(data[i]);
    }
    line += Hex2(~sum & 0xFF);
    line += "\r\n";
    return line;
}

std::string SRecordFile(const char* name, std::uint32_t start, const std::vector<Chunk>& chunks) {
    const std::string header(name);
    std::string out = Record('0', 2, 0, reinterpret_cast<const std::uint8_t*>(header.data()),
                             header.size());
    for (const Chunk& c : chunks)
        for (std::size_t off = 0; off < c.bytes.size(); off += 16) {
            const std::size_t n = std::min<std::size_t>(16, c.bytes.size() - off);
            out += Record('3', 4, c.address + static_cast<std::uint32_t>(off), &c.bytes[off], n);
        }
    out += Record('7', 4, start, nullptr, 0);
    return out;
}

std::vector<std::uint8_t> Bytes(Prng& prng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v)
        b = prng.Next();
    return v;
}

} // namespace

std::string MakeFirmwareText() {
    Prng prng;

    std::vector<Chunk> top;
    top.push_back({kTopStart, Bytes(prng, kTopCodeBytes)});
    std::vector<std::uint8_t> vectors = Bytes(prng, 128);
    // reset vector: the start of the main file's code
    vectors[124] = kMainStart & 0xFF;
    vectors[125] = (kMainStart >> 8) & 0xFF;
    vectors[126] = (kMainStart >> 16) & 0xFF;
    vectors[127] = (kMainStart >> 24) & 0xFF;
    top.push_back({kVectorTable, vectors});

    std::vector<Chunk> main;
    std::uint32_t left = kMainBytes;
    for (std::uint32_t page = 0; left > 0; ++page) {
        if (page % kBlankPageEvery == kBlankPageEvery - 1)
            continue;
        const std::uint32_t n = std::min<std::uint32_t>(256, left);
        main.push_back({kMainStart + page * 256, Bytes(prng, n)});
        left -= n;
    }

    std::string text = SRecordFile("tessaly_boot.mot", kTopStart, top);
    text += SRecordFile("tessaly_main.mot", kMainStart, main);
    text += '\x1A';
    return text;
}
