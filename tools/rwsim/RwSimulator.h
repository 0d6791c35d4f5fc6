#pragma once

#include "rwsim/BridgeModule.h"
#include "rwsim/Microcontroller.h"
#include "rwsim/SerialLine.h"
#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"

#include <QObject>

namespace rwsim {

// The whole R/W as the tool sees it over the LAN: the bridge module's UDP configuration,
// the TCP serial line through the bridge, and the control microcontroller behind it. Runs
// on the event loop of the thread that creates it, so a test drives the tool and the
// simulator from one thread:
//
//     rwsim::SimConfig config;   // 127.0.0.2, UDP 30718 (the tool's fixed port), TCP 9004
//     config.tcpPort = 0;        // any free port; ask TcpPort() afterwards
//     rwsim::RwSimulator sim(config);
//     QString error;
//     ASSERT_TRUE(sim.Start(&error));
//
// Serial timing is off unless the config turns it on, so tests cost no wire time.
class RwSimulator : public QObject {
    Q_OBJECT
public:
    explicit RwSimulator(SimConfig config, QObject* parent = nullptr);
    ~RwSimulator() override;

    // Binds the UDP and TCP ports (loopback addresses only) and powers the R/W on.
    bool Start(QString* error);

    quint16 UdpPort() const { return bridge_.Port(); }
    quint16 TcpPort() const { return serial_.Port(); }
    const SimConfig& Config() const { return config_; }
    BridgeModule& Bridge() { return bridge_; }
    Microcontroller& Mcu() { return mcu_; }
    bool HasClient() const { return serial_.HasClient(); }

    // Writes the flash dump file, when one is configured.
    void DumpFlash();

private:
    SimConfig config_;
    Transcript transcript_;
    BridgeModule bridge_;
    SerialLine serial_;
    Microcontroller mcu_;
};

} // namespace rwsim
