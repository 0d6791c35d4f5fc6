#pragma once

#include "rwsim/SimConfig.h"

#include <QString>

#include <vector>

namespace rwsim {

// Several simulated R/Ws in one process, as a fleet update meets them on a LAN: device k (from
// 0) takes the k-th loopback address from the first one, the same ports on its own address,
// and transcript and dump files named after its address. The fault options apply to the
// `faultDevice`-th device only (from 1), or to every device when it is 0.
std::vector<SimConfig> DeviceConfigs(const SimConfig& first, int devices, int faultDevice);

// "rw.jsonl" for 127.0.0.11 is "rw-127.0.0.11.jsonl"; an empty name stays empty.
QString FileForAddress(const QString& fileName, const QHostAddress& address);

} // namespace rwsim
