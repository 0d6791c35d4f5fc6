#include "rwsim/FlashModel.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace rwsim {

FlashModel::FlashModel(std::uint32_t base)
    : base_(base), bytes_(std::size_t(std::uint64_t(kEnd) - base + 1), 0xFF) {}

bool FlashModel::Contains(std::uint32_t address, std::uint64_t length) const {
    return address >= base_ && std::uint64_t(address) + length <= std::uint64_t(kEnd) + 1;
}

bool FlashModel::IsErased(std::uint32_t address, std::uint64_t length) const {
    const auto first = bytes_.begin() + std::ptrdiff_t(Offset(address));
    return std::all_of(first, first + std::ptrdiff_t(length), [](auto b) { return b == 0xFF; });
}

void FlashModel::Erase(std::uint32_t address, std::uint64_t length) {
    const auto first = bytes_.begin() + std::ptrdiff_t(Offset(address));
    std::fill(first, first + std::ptrdiff_t(length), std::uint8_t(0xFF));
}

void FlashModel::Program(std::uint32_t address, std::span<const std::uint8_t> data) {
    std::copy(data.begin(), data.end(), bytes_.begin() + std::ptrdiff_t(Offset(address)));
}

std::span<const std::uint8_t> FlashModel::Read(std::uint32_t address, std::uint64_t length) const {
    return {bytes_.data() + Offset(address), std::size_t(length)};
}

std::uint32_t FlashModel::Sum() const {
    return std::accumulate(bytes_.begin(), bytes_.end(), std::uint32_t(0));
}

bool FlashModel::Load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (std::uint64_t(file.size()) > Size()) {
        *error = QStringLiteral("%1 holds %2 bytes, more than the flash's %3")
                     .arg(path)
                     .arg(file.size())
                     .arg(Size());
        return false;
    }
    const QByteArray data = file.readAll();
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t(0xFF));
    std::copy(data.begin(), data.end(), bytes_.begin());
    return true;
}

bool FlashModel::Dump(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes_.data()), qint64(bytes_.size())) !=
            qint64(bytes_.size()) ||
        !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace rwsim
