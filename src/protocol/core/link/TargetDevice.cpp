#include "core/link/TargetDevice.h"

namespace tessaly {

std::string_view KindName(std::int32_t kind) {
    switch (kind) {
    case kKindRx231:
        return "rx231";
    case kKindRx630:
        return "rx630";
    case kKindRx63T:
        return "rx63t";
    default:
        return {};
    }
}

std::uint32_t RomImageBaseForSizeCode(std::int32_t romSizeCode) {
    switch (romSizeCode) {
    case 5: return 0xFFFF8000u;  // 32K
    case 6: return 0xFFFF4000u;  // 48K
    case 7: return 0xFFFF0000u;  // 64K
    case 8: return 0xFFFE8000u;  // 96K
    case 9: return 0xFFFE0000u;  // 128K
    case 11: return 0xFFFC0000u; // 256K
    case 13: return 0xFFFA0000u; // 384K
    case 14: return 0xFFF80000u; // 512K
    case 15: return 0xFFF40000u; // 768K
    case 16: return 0xFFF00000u; // 1M
    case 17: return 0xFFE80000u; // 1.5M
    case 18: return 0xFFE00000u; // 2M
    default: return 0xFFFF0000u;
    }
}

std::array<char, 4> DeviceCodeForKind(std::int32_t kind, std::array<char, 4> current) {
    switch (kind) {
    case 3: return {'7', '8', '0', '5'};
    case 5: return {'8', 'a', '0', '2'};
    case 6: return {'7', '5', '0', '5'};
    case 2:
    case 4: return current;
    default: return {'7', 'n', '0', '5'}; // 0, 1, 7 and everything above (unsigned)
    }
}

} // namespace tessaly
