#pragma once

#include <cstdint>

namespace tessaly {

// Millisecond stopwatch on a wrapping 32-bit tick counter. Elapsed time is computed in
// unsigned arithmetic, so a wrap of the counter between start and now is harmless.
class Stopwatch {
public:
    void Start(std::uint32_t nowMs) { start_ = nowMs; }
    std::uint32_t Elapsed(std::uint32_t nowMs) const { return nowMs - start_; }
    bool Expired(std::uint32_t nowMs, std::uint32_t limitMs) const {
        return Elapsed(nowMs) >= limitMs;
    }
    // Time left before `limitMs` is reached (0 once it has been).
    std::uint32_t Remaining(std::uint32_t nowMs, std::uint32_t limitMs) const {
        std::uint32_t e = Elapsed(nowMs);
        return e >= limitMs ? 0 : limitMs - e;
    }

private:
    std::uint32_t start_ = 0;
};

} // namespace tessaly
