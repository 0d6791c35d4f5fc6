// tessaly-firmware-check FILE: tells whether an S-record file can be the program's built-in
// firmware. It parses the file with the program's own S-record parser into the image that
// start-up fills (RX231, ROM-size code 11) and accepts it only when every record is sound, at
// least one byte was stored and nothing lies outside the image. The build runs it while
// configuring, so that a wrong TESSALY_FIRMWARE stops the build instead of shipping a program
// that would erase a R/W and write nothing useful.
#include "core/image/ImageLoad.h"
#include "core/link/TargetDevice.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kDefaultRomSizeCode = 11; // 256 KB, the RX231 the program ships for

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaly-firmware-check FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::printf("cannot be read\n");
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    const std::uint32_t base = tessaly::RomImageBaseForSizeCode(kDefaultRomSizeCode);
    std::vector<std::uint8_t> image(std::size_t{tessaly::kRomImageEnd - base} + 1);
    const tessaly::ImageLoadResult result =
        tessaly::ParseSRecords(text, {image, base, tessaly::kRomImageEnd});

    const unsigned first = base;
    const unsigned last = tessaly::kRomImageEnd;
    if (result.outOfRange) {
        std::printf("holds data outside the image of the RX231 with ROM-size code %d "
                    "(%08X-%08X)\n",
                    kDefaultRomSizeCode, first, last);
        return 1;
    }
    if (!result.ok) {
        std::printf("does not parse as S-records: a damaged record (checksum or count)\n");
        return 1;
    }
    if (result.stored == 0) {
        std::printf("stores no byte in the image %08X-%08X (no S2/S3 data record there)\n", first,
                    last);
        return 1;
    }
    std::printf("parses and fits: %llu bytes in %08X-%08X\n",
                static_cast<unsigned long long>(result.stored), first, last);
    return 0;
}
