#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzImageParser(data, size, tessaly::ParseSRecords, 0xFF);
}
