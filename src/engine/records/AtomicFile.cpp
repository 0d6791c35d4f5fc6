#include "records/AtomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString& fileName, const QByteArray& bytes, QString* error,
                         QFileDevice::Permissions permissions) {
    QSaveFile file(fileName);
    // The flush is asked for by name: a write that only fails when the buffer reaches the disk
    // (a full disk) is not seen by the commit, which would put an empty file in place.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                         file.flush() && (!permissions || file.setPermissions(permissions)) &&
                         file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}
