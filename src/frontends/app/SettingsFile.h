#pragma once

#include "link/LinkRecords.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

// Every option value the main window keeps and writes at close.
struct AppSettings {
    tagOptionPara option;
    tagTCPIPPara tcp;
    std::int32_t fCpuProg = 1;
    std::int32_t ResWaitTime = 1000;
    std::int32_t fDispDebugInfo = 0;
    std::int32_t fDispTxInfo = 0;
    std::int32_t fDispRecInfo = 0;
};

// The settings file: named after the executable with the extension "ini", section "Option".
// Only the four TCP keys are read back; everything else is written for the record. Writing
// keeps whatever else the file holds (other keys, sections, comments), replaces the file
// atomically, and moves to the per-user configuration folder when the executable's folder
// cannot be written, so the operator's settings are never silently lost.
class SettingsFile {
public:
    using Keys = QList<QPair<QByteArray, QByteArray>>;

    explicit SettingsFile(const QString& iniFileName);

    // "<folder>/X.exe" gives "<folder>/X.ini"; a name without an extension gains ".ini".
    static QString IniFileNameFor(const QString& executablePath);

    // The file next to the executable.
    const QString& FileName() const { return fileName_; }
    // Where the settings live now: the per-user copy once one has been written (always, in a
    // build for system folders), else FileName.
    QString ActiveFileName() const;

    // "TCPPort", "fTCPServer", "TCPServPort", "TCPServAddr"; missing or malformed values read
    // as their defaults (9004, 0, 9004, "192.168.0.1").
    tagTCPIPPara ReadTcpKeys() const;
    // "BridgeBindAddress": the local address the bridge port is bound to, for a PC where
    // another program holds the port on some other address (the demo and the tests use a
    // loopback one). Not one of the 20 keys: it is read, never written, and so kept as it is.
    // Empty (every local address) when missing or not an IPv4 address.
    QString ReadBridgeBindAddress() const;

    // Writes the 20 keys in their fixed order. False (with a reason) only when neither the
    // executable's folder nor the per-user folder could be written.
    bool Write(const AppSettings& values, QString* error = nullptr);

    // A section of the program's own beside "Option" (the fleet window keeps its list there):
    // one key's value as written (a null array when absent), and the section's keys written as
    // Write writes "Option", every other line kept.
    QByteArray ReadValue(const QByteArray& section, const QByteArray& key) const;
    bool WriteSection(const QByteArray& section, const Keys& keys, QString* error = nullptr);

private:
    QString fileName_;
};
