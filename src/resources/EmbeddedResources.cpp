#include "resources/EmbeddedResources.h"

#include <QFile>

namespace EmbeddedResources {

QByteArray Find(const QString& type, const QString& name) {
    QFile file(QStringLiteral(":/") + type + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace EmbeddedResources
