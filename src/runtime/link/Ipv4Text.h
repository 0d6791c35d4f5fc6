#pragma once

#include <QString>

// An IPv4 address as the connection parameters hold it (TCPServAddr) and the chip updater
// takes it: four decimal numbers from 0 to 255 with dots between them. The shortened forms the
// system's own parser also takes ("1.2.3" for 1.2.0.3) are no address an operator means.
bool IsDottedIpv4(const QString& text);
