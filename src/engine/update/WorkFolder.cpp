#include "update/WorkFolder.h"

#include "records/AtomicFile.h"
#include "resources/EmbeddedResources.h"
#include "update/FilePlacement.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSet>
#include <QStandardPaths>

namespace {

// Creates, writes, closes and deletes a small file; any failure means the folder is not ours
// to write.
bool ProbeWritable(const QString& folder) {
    QFile probe(folder + QStringLiteral("/test.dat"));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        !probe.open(QIODevice::ReadWrite))
        return false;
    const bool written = probe.write("TEST", 4) == 4;
    probe.close();
    const bool removed = probe.remove();
    return written && removed;
}

} // namespace

namespace WorkFolder {

QString Prepare(const QString& executableFolder) {
    // cleanPath folds "/./" (and its Windows form) the way the program always collapsed it.
    const QString beside = QDir::cleanPath(executableFolder) + QStringLiteral("/TessalyChip");
    if (!FilePlacement::kPerUserOnly && QDir().mkpath(beside) && ProbeWritable(beside))
        return beside;
    const QString perUser = PerUserFolder();
    QDir().mkpath(perUser);
    return perUser;
}

QString PerUserFolder() {
#ifdef Q_OS_WIN
    // "APPDATA" + "\OSKORA\Tessaly", where the program has always gone
    return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) +
           QStringLiteral("/OSKORA/Tessaly");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/OSKORA/Tessaly");
#endif
}

QString ChipUpdaterPath(const QString& workDir, const QString& suffix) {
#ifdef Q_OS_WIN
    const QString extension = QStringLiteral(".exe");
#else
    const QString extension;
#endif
    return workDir + QStringLiteral("/TessalyChip") + suffix + extension;
}

bool WriteChipUpdater(const QString& workDir) {
    const QByteArray program =
        EmbeddedResources::Find(QStringLiteral("CHIPUPDATEF"), QStringLiteral("CHIPUPDATETT"));
    if (program.isEmpty())
        return false;
    // Executable before it takes the place of the old one: runs side by side write it while
    // another may be starting it, and must never find it there but not yet runnable.
    return WriteFileAtomically(ChipUpdaterPath(workDir), program, nullptr,
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                   QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                   QFile::ExeOther);
}

bool EnsureChipUpdater(const QString& workDir) {
    static QMutex mutex;
    static QSet<QString> written;
    QMutexLocker lock(&mutex);
    if (written.contains(workDir) && QFile::exists(ChipUpdaterPath(workDir)))
        return true;
    if (!WriteChipUpdater(workDir))
        return false;
    written.insert(workDir);
    return true;
}

} // namespace WorkFolder
