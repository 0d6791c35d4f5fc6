#include "app/SettingsFile.h"

#include "records/AtomicFile.h"
#include "update/FilePlacement.h"
#include "update/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QList>
#include <QStandardPaths>

namespace {

const QByteArray kSection = "Option";

// Lines are kept as bytes: whatever else the file holds (comments in any encoding, other
// sections) is written back exactly as it was read.
QList<QByteArray> ReadLines(const QString& fileName, bool* crlf) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray content = file.readAll();
    *crlf = content.contains("\r\n");
    content.replace("\r\n", "\n");
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsSectionHeader(const QByteArray& line, QByteArray* name) {
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

QByteArray KeyOf(const QByteArray& line) {
    const int eq = line.indexOf('=');
    const QByteArray t = line.trimmed();
    if (eq < 0 || t.startsWith(';') || t.startsWith('#'))
        return {};
    return line.left(eq).trimmed();
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Value of `key` in `section`, or a null array when absent.
QByteArray FindValue(const QList<QByteArray>& lines, const QByteArray& key,
                     const QByteArray& section = kSection) {
    bool inSection = false;
    for (const QByteArray& line : lines) {
        QByteArray name;
        if (IsSectionHeader(line, &name)) {
            inSection = SameName(name, section);
            continue;
        }
        if (inSection && SameName(KeyOf(line), key))
            return line.mid(line.indexOf('=') + 1).trimmed();
    }
    return {};
}

int IntValue(const QList<QByteArray>& lines, const QByteArray& key, int fallback) {
    bool ok = false;
    const int v = FindValue(lines, key).toInt(&ok);
    return ok ? v : fallback;
}

SettingsFile::Keys KeysInOrder(const AppSettings& s) {
    auto n = [](qint64 v) { return QByteArray::number(v); };
    const tagOptionPara& o = s.option;
    // fCPUType and fROMSize are written as the values the program runs with, whatever was set.
    return {
        {"Port", n(o.Port)},
        {"BaudRate", n(o.BaudRate)},
        {"ParityBits", n(o.ParityBits)},
        {"FlowCont", n(o.FlowCont)},
        {"BpsMode", n(o.BpsMode)},
        {"BPSspeed", n(o.BPSspeed)},
        {"TCPPort", n(s.tcp.TCPPort)},
        {"fTCPServer", n(s.tcp.fTCPServer)},
        {"TCPServPort", n(s.tcp.TCPServPort)},
        {"TCPServAddr", s.tcp.TCPServAddr.toUtf8()},
        {"fCPUType", n(5)},
        {"fROMSize", n(11)},
        {"freq", n(static_cast<int>(o.freq * 100))},
        {"teibai1", n(o.teibai1)},
        {"teibai2", n(o.teibai2)},
        {"fCpuProg", n(s.fCpuProg)},
        {"ResWaitTime", n(s.ResWaitTime)},
        {"fDispDebugInfo", n(s.fDispDebugInfo)},
        {"fDispTxInfo", n(s.fDispTxInfo)},
        {"fDispRecInfo", n(s.fDispRecInfo)},
    };
}

// The old lines with `section` holding our keys first, in order, then any keys of its own that
// the file already had; every other line is kept where it was.
QList<QByteArray> MergeLines(const QList<QByteArray>& old, const QByteArray& section,
                             const SettingsFile::Keys& keys) {
    QList<QByteArray> ours;
    for (const auto& [k, v] : keys)
        ours.append(k + '=' + v);
    auto isOurs = [&](const QByteArray& key) {
        for (const auto& kv : keys)
            if (SameName(kv.first, key))
                return true;
        return false;
    };

    QList<QByteArray> out;
    bool inSection = false;
    bool placed = false;
    for (const QByteArray& line : old) {
        QByteArray name;
        if (IsSectionHeader(line, &name)) {
            inSection = !placed && SameName(name, section);
            out.append(line);
            if (inSection) {
                out.append(ours);
                placed = true;
            }
            continue;
        }
        if (inSection && isOurs(KeyOf(line)))
            continue;
        out.append(line);
    }
    if (!placed) {
        out.append('[' + section + ']');
        out.append(ours);
    }
    return out;
}

bool WriteAtomically(const QString& fileName, const QList<QByteArray>& lines, bool crlf,
                     QString* error) {
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    const QByteArray eol = crlf ? "\r\n" : "\n";
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + eol;
    return WriteFileAtomically(fileName, text, error);
}

QString PerUserCopy(const QString& fileName) {
#ifdef Q_OS_WIN
    // Beside the work folder's fallback, in APPDATA, as an installed program needs.
    const QString folder = WorkFolder::PerUserFolder();
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/OSKORA/Tessaly");
#endif
    return folder + QLatin1Char('/') + QFileInfo(fileName).fileName();
}

} // namespace

SettingsFile::SettingsFile(const QString& iniFileName) : fileName_(iniFileName) {}

QString SettingsFile::IniFileNameFor(const QString& executablePath) {
    const QFileInfo info(executablePath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return info.absolutePath() + QLatin1Char('/') + stem + QStringLiteral(".ini");
}

QString SettingsFile::ActiveFileName() const {
    if (FilePlacement::kPerUserOnly)
        return PerUserCopy(fileName_);
    const QFileInfo beside(fileName_);
    const QFileInfo perUser(PerUserCopy(fileName_));
    if (perUser.exists() && (!beside.exists() || perUser.lastModified() > beside.lastModified()))
        return perUser.filePath();
    return fileName_;
}

tagTCPIPPara SettingsFile::ReadTcpKeys() const {
    bool crlf = false;
    const QList<QByteArray> lines = ReadLines(ActiveFileName(), &crlf);
    tagTCPIPPara tcp;
    tcp.TCPPort = IntValue(lines, "TCPPort", tcp.TCPPort);
    tcp.fTCPServer = IntValue(lines, "fTCPServer", tcp.fTCPServer);
    tcp.TCPServPort = IntValue(lines, "TCPServPort", tcp.TCPServPort);
    const QByteArray addr = FindValue(lines, "TCPServAddr");
    if (!addr.isNull())
        tcp.TCPServAddr = QString::fromUtf8(addr);
    return tcp;
}

QString SettingsFile::ReadBridgeBindAddress() const {
    bool crlf = false;
    const QString value =
        QString::fromUtf8(FindValue(ReadLines(ActiveFileName(), &crlf), "BridgeBindAddress"))
            .trimmed();
    QHostAddress address;
    return address.setAddress(value) && address.protocol() == QAbstractSocket::IPv4Protocol
               ? value
               : QString();
}

QByteArray SettingsFile::ReadValue(const QByteArray& section, const QByteArray& key) const {
    bool crlf = false;
    return FindValue(ReadLines(ActiveFileName(), &crlf), key, section);
}

bool SettingsFile::Write(const AppSettings& values, QString* error) {
    return WriteSection(kSection, KeysInOrder(values), error);
}

bool SettingsFile::WriteSection(const QByteArray& section, const Keys& keys, QString* error) {
#ifdef Q_OS_WIN
    bool crlf = true;
#else
    bool crlf = false;
#endif
    const QString source = ActiveFileName();
    QList<QByteArray> old;
    if (QFileInfo::exists(source))
        old = ReadLines(source, &crlf);
    const QList<QByteArray> lines = MergeLines(old, section, keys);

    QString besideError = QStringLiteral("not written in a build for system folders");
    if (!FilePlacement::kPerUserOnly && WriteAtomically(fileName_, lines, crlf, &besideError)) {
        QFile::remove(PerUserCopy(fileName_)); // the file beside the program is current again
        return true;
    }
    QString perUserError;
    if (WriteAtomically(PerUserCopy(fileName_), lines, crlf, &perUserError))
        return true;
    if (error)
        *error = fileName_ + QStringLiteral(": ") + besideError + QStringLiteral("; ") +
                 PerUserCopy(fileName_) + QStringLiteral(": ") + perUserError;
    return false;
}
