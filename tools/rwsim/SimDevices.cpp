#include "rwsim/SimDevices.h"

#include <QFileInfo>

namespace rwsim {

QString FileForAddress(const QString& fileName, const QHostAddress& address) {
    if (fileName.isEmpty())
        return fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.completeSuffix();
    const QString stem =
        info.path() + QLatin1Char('/') + info.baseName() + QLatin1Char('-') + address.toString();
    return suffix.isEmpty() ? stem : stem + QLatin1Char('.') + suffix;
}

std::vector<SimConfig> DeviceConfigs(const SimConfig& first, int devices, int faultDevice) {
    std::vector<SimConfig> configs;
    const quint32 base = first.address.toIPv4Address();
    for (int k = 0; k < devices; ++k) {
        SimConfig config = first;
        if (devices > 1) {
            config.address = QHostAddress(base + quint32(k));
            config.transcriptFile = FileForAddress(first.transcriptFile, config.address);
            config.dumpFile = FileForAddress(first.dumpFile, config.address);
        }
        if (faultDevice != 0 && faultDevice != k + 1)
            config.faults = FaultPlan{};
        configs.push_back(config);
    }
    return configs;
}

} // namespace rwsim
