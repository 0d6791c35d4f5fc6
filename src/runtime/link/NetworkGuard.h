#pragma once

#include <QHostAddress>
#include <QString>

// With TESSALY_LOOPBACK_ONLY=1 in the environment (tests, CI, the demo) nothing may leave this
// machine: every TCP connect and UDP send to a non-loopback address is refused.
namespace NetworkGuard {

bool LoopbackOnly();
// True when traffic to `address` is allowed under the current mode.
bool Allows(const QHostAddress& address);
// The same for an address given as text; text that is not an IP address is refused in
// loopback-only mode, since a name could resolve anywhere.
bool Allows(const QString& host);
// The log line for a refused destination.
QString RefusalText(const QString& host);

} // namespace NetworkGuard
