#pragma once

#include "link/LinkRecords.h"

#include <QString>
#include <QStringList>

// How the update sequence calls the chip updater: which file, with which arguments.
namespace ChipUpdaterCall {

// The versioned updater ("TessalyChip" + the version digits, e.g. TessalyChip1100) when it
// is in the work folder, else the plain "TessalyChip"; empty when neither exists, and then
// the chip step is skipped.
QString FileToRun(const QString& workDir, const QString& verDigits);

// This program's file version without its dots ("1100" for 1.1.0.0), as the versioned
// updater's name carries it.
QString VersionDigits();

// "-IP", or "-BOOT" "-IP" when the CHIP did not answer at connection time, then fTCPServer,
// TCPPort, TCPServPort (decimal) and TCPServAddr.
QStringList Arguments(int chipAnswered, const tagTCPIPPara& params);

} // namespace ChipUpdaterCall
