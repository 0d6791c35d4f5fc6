#pragma once

// The tool's link controller on the real event loop, facing the simulator on kHost. The
// bridge module answers on the process's own module port (where the tool sends); the R/W's
// TCP port is a free one.

#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "rwsim/RwSimulator.h"
#include "support/TestAddresses.h"
#include "support/VectorLogSink.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

class LinkSimRig {
public:
    static inline const QString kHost = TestAddresses::Module();

    explicit LinkSimRig(rwsim::SimConfig config = {}) {
        config.address = QHostAddress(kHost);
        config.udpPort = TestAddresses::ModuleBridgePort();
        config.tcpPort = 0;
        config.transcriptFile = dir.filePath(QStringLiteral("transcript.jsonl"));
        sim = std::make_unique<rwsim::RwSimulator>(config);
        QString error;
        started = sim->Start(&error);
        EXPECT_TRUE(started) << error.toStdString();
        link.TCPIPPara.TCPServAddr = kHost;
        link.TCPIPPara.TCPServPort = sim->TcpPort();
        link.BridgeBindAddress = TestAddresses::Tool();
    }

    ~LinkSimRig() {
        // The tool's log tells most about a failure (a port held elsewhere shows as 接続エラー).
        if (::testing::Test::HasFailure())
            for (const QString& line : log.lines)
                std::fprintf(stderr, "log: %s\n", line.toUtf8().constData());
    }
    LinkSimRig(const LinkSimRig&) = delete;
    LinkSimRig& operator=(const LinkSimRig&) = delete;

    // The hex dumps of the datagrams the bridge module received, in order.
    QStringList UdpReceived() const {
        QStringList out;
        QFile file(sim->Config().transcriptFile);
        if (!file.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value(QStringLiteral("ch")).toString() == QLatin1String("udp") &&
                o.value(QStringLiteral("dir")).toString() == QLatin1String("rx"))
                out << o.value(QStringLiteral("hex")).toString();
        }
        return out;
    }

    QByteArray Record() const {
        const auto r = sim->Bridge().Record();
        return QByteArray(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()));
    }

    QTemporaryDir dir;
    std::unique_ptr<rwsim::RwSimulator> sim;
    bool started = false;
    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
};

// The same dump format as the transcript: upper-case hex bytes separated by single spaces.
inline QString HexText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
