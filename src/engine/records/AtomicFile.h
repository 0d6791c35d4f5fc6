#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writes `bytes` to `fileName` as a whole or not at all: a reader finds the old file (or none)
// until the new one is complete, and a full disk or any other write error leaves the old file
// (or none) in place and says why in `error`. `permissions`, when
// given, are set on the new file before it takes the old one's place.
bool WriteFileAtomically(const QString& fileName, const QByteArray& bytes, QString* error,
                         QFileDevice::Permissions permissions = {});
