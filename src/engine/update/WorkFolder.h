#pragma once

#include <QString>

// The work folder that receives the chip updater at every start.
namespace WorkFolder {

// "<executable folder>/TessalyChip", created with its parents and probed with a short-lived
// "test.dat"; when that folder cannot be written (or in a build for system folders, see
// FilePlacement), PerUserFolder (created, not probed again).
QString Prepare(const QString& executableFolder);

// The per-user folder of a program that cannot write beside itself: on Windows the folder the
// environment variable APPDATA names + "\OSKORA\Tessaly", elsewhere the per-user application
// data folder + "OSKORA/Tessaly".
QString PerUserFolder();

// The chip updater's file name in a folder: "TessalyChip" plus `suffix` plus the platform's
// executable extension (".exe" on Windows, none elsewhere).
QString ChipUpdaterPath(const QString& workDir, const QString& suffix = QString());

// Writes the embedded chip updater to ChipUpdaterPath(workDir), replacing any file of that
// name, executable by its owner. False when it could not be written (start-up goes on).
bool WriteChipUpdater(const QString& workDir);
// WriteChipUpdater once per process and folder (again only when the file has gone): every
// controller a process builds (each R/W of a fleet, each rebuild after a run) calls it.
bool EnsureChipUpdater(const QString& workDir);

} // namespace WorkFolder
