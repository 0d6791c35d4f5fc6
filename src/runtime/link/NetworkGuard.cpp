#include "link/NetworkGuard.h"

#include <QtGlobal>

namespace NetworkGuard {

bool LoopbackOnly() {
    return qEnvironmentVariable("TESSALY_LOOPBACK_ONLY") == QLatin1String("1");
}

bool Allows(const QHostAddress& address) {
    return !LoopbackOnly() || address.isLoopback();
}

bool Allows(const QString& host) {
    if (!LoopbackOnly())
        return true;
    QHostAddress address;
    return address.setAddress(host.trimmed()) && address.isLoopback();
}

QString RefusalText(const QString& host) {
    return QStringLiteral("NG: TESSALY_LOOPBACK_ONLY: ") + host +
           QStringLiteral(" はループバックではないため送信しません");
}

} // namespace NetworkGuard
