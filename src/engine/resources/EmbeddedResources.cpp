#include "resources/EmbeddedResources.h"

#include <QFile>

namespace EmbeddedResources {

QByteArray Find(const QString& type, const QString& name) {
    QFile file(QStringLiteral(":/") + type + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool FirmwareIsStandIn() {
    return TESSALY_FIRMWARE_IS_STAND_IN != 0;
}

} // namespace EmbeddedResources
