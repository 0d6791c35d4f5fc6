#include "WaveSound.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double hz;
    double seconds;
    bool square;
};

void PutLe(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Wave(const std::vector<Note>& notes) {
    std::vector<std::int16_t> pcm;
    for (const Note& n : notes) {
        const int count = static_cast<int>(n.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double envelope = n.hz == 0 ? 0 : std::exp(-3.0 * t / n.seconds);
            double v = std::sin(2 * kPi * n.hz * t);
            if (n.square)
                v = v >= 0 ? 0.6 : -0.6;
            pcm.push_back(static_cast<std::int16_t>(v * envelope * 12000));
        }
    }
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    std::string s = "RIFF";
    PutLe(s, 36 + dataBytes, 4);
    s += "WAVEfmt ";
    PutLe(s, 16, 4);       // fmt chunk size
    PutLe(s, 1, 2);        // PCM
    PutLe(s, 1, 2);        // mono
    PutLe(s, kRate, 4);
    PutLe(s, kRate * 2, 4); // byte rate
    PutLe(s, 2, 2);        // block align
    PutLe(s, 16, 2);       // bits per sample
    s += "data";
    PutLe(s, dataBytes, 4);
    for (std::int16_t v : pcm)
        PutLe(s, static_cast<std::uint16_t>(v), 2);
    return s;
}

} // namespace

std::string MakeRingSound() {
    return Wave({{1318.5, 0.18, false}, {1760.0, 0.45, false}});
}

std::string MakeAlarmSound() {
    return Wave({{220.0, 0.22, true}, {0, 0.08, false}, {220.0, 0.22, true}, {0, 0.08, false},
                 {220.0, 0.35, true}});
}
