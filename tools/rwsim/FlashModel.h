#pragma once

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace rwsim {

// The user area of the microcontroller's flash, from its base address up to 0xFFFFFFFF.
// Erased bytes read 0xFF; a byte can be programmed only while it is erased.
class FlashModel {
public:
    static constexpr std::uint32_t kEnd = 0xFFFFFFFFu;

    explicit FlashModel(std::uint32_t base);

    std::uint32_t Base() const { return base_; }
    std::uint64_t Size() const { return bytes_.size(); }
    bool Contains(std::uint32_t address, std::uint64_t length) const;

    bool IsErased(std::uint32_t address, std::uint64_t length) const;
    bool IsBlank() const { return IsErased(base_, Size()); }
    void Erase(std::uint32_t address, std::uint64_t length);
    void Program(std::uint32_t address, std::span<const std::uint8_t> data);
    std::span<const std::uint8_t> Read(std::uint32_t address, std::uint64_t length) const;
    std::uint32_t Sum() const; // 32-bit sum of every byte

    // A raw image from the base address; a shorter file leaves the rest erased.
    bool Load(const QString& path, QString* error);
    bool Dump(const QString& path, QString* error) const;

private:
    std::size_t Offset(std::uint32_t address) const { return address - base_; }

    std::uint32_t base_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace rwsim
