#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <vector>

namespace rwsim {

class Transcript;

// Versions the R/W reports; 9 characters each.
struct FirmwareVersions {
    QByteArray rom;
    QByteArray chip;
};

// The R/W's normal firmware: framed commands 02 00 letter L data 03 sum 0D, answered in the
// same layout. It runs at 115200 bit/s.
class RwFirmware {
public:
    static constexpr int kBps = 115200;

    struct Hooks {
        std::function<void(std::vector<std::uint8_t>)> send;
        std::function<void()> enterBootProgram; // program mode: the MCU restarts into boot
    };

    // The two flags are read at every request: a fault may start while the firmware runs.
    RwFirmware(Transcript& transcript, FirmwareVersions& versions, bool chipFollowsRom,
               const bool& silentRom, const bool& silentChip, Hooks hooks);

    void Receive(std::uint8_t byte);
    void Reset() { frame_.clear(); } // a restart forgets a half-received frame
    std::size_t UnfinishedFrameBytes() const { return frame_.size(); }

    // The checksum of a frame: the low 8 bits of the sum from STX through ETX.
    static std::uint8_t FrameSum(const std::vector<std::uint8_t>& frame, std::size_t count);
    static std::vector<std::uint8_t> Frame(std::uint8_t letter,
                                           const std::vector<std::uint8_t>& data);

private:
    void Handle(std::uint8_t letter, const std::vector<std::uint8_t>& data);
    void HandleN(const std::vector<std::uint8_t>& data);
    void Acknowledge();
    void Refuse(const QString& why);

    Transcript& transcript_;
    FirmwareVersions& versions_;
    bool chipFollowsRom_;
    const bool& silentRom_;
    const bool& silentChip_;
    Hooks hooks_;
    std::vector<std::uint8_t> frame_;
};

} // namespace rwsim
