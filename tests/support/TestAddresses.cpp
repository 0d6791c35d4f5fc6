#include "support/TestAddresses.h"

#include <QDir>
#include <QHostAddress>
#include <QLockFile>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The test programs of the Windows build run under Wine on the same machine, and keep their
// slot locks in Wine's temp folder: each system has a half of 127.64.0.0/10 of its own.
#ifdef Q_OS_WIN
constexpr int kFirstOctet = 96; // 127.96.0.0 to 127.127.255.255
#else
constexpr int kFirstOctet = 64; // 127.64.0.0 to 127.95.255.255
#endif
constexpr int kSlots = 32 * 256;
// Two ports a slot from here; the Windows build has a range of its own, as its addresses.
#ifdef Q_OS_WIN
constexpr int kFirstPort = 40000;
#else
constexpr int kFirstPort = 20000;
#endif

struct HeldSlot {
    int number = -1;
    std::unique_ptr<QLockFile> lock;
};

HeldSlot TakeSlot() {
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("tessaly-test-slots"));
    QDir().mkpath(folder);
    for (int n = 0; n < kSlots; ++n) {
        auto lock = std::make_unique<QLockFile>(
            QDir(folder).filePath(QStringLiteral("slot-%1.lock").arg(n)));
        // A slot is taken away only from a process that has died.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0))
            return {n, std::move(lock)};
    }
    std::fprintf(stderr, "TestAddresses: no free address slot in %s\n", qPrintable(folder));
    std::abort();
}

} // namespace

namespace TestAddresses {

int Slot() {
    static const HeldSlot slot = TakeSlot();
    return slot.number;
}

QString SimulatedMac(const QString& address) {
    const quint32 ip = QHostAddress(address).toIPv4Address();
    return QStringLiteral("02-00-%1-%2-%3-%4")
        .arg(ip >> 24, 2, 16, QLatin1Char('0'))
        .arg((ip >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((ip >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(ip & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

quint16 ToolBridgePort() {
    return static_cast<quint16>(kFirstPort + 2 * Slot());
}

quint16 ModuleBridgePort() {
    return static_cast<quint16>(kFirstPort + 2 * Slot() + 1);
}

void UseOwnBridgePorts() {
    qputenv("TESSALY_TEST_BRIDGE_PORTS",
            QByteArray::number(ToolBridgePort()) + ':' + QByteArray::number(ModuleBridgePort()));
}

QString Address(int host) {
    const int slot = Slot();
    return QStringLiteral("127.%1.%2.%3").arg(kFirstOctet + slot / 256).arg(slot % 256).arg(host);
}

} // namespace TestAddresses
