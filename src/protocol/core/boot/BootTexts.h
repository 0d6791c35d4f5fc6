#pragma once

#include <cstdint>

namespace tessaly {

// What the boot program's status inquiry reports, as texts for the operator (UTF-8).
// Codes without a text of their own read "????".
const char* BootErrorText(std::uint8_t code);
const char* BootStatusText(std::uint8_t status);

} // namespace tessaly
