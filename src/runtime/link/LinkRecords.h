#pragma once

#include <QString>
#include <cstdint>

// The settings record the main window holds and the link controller copies. Field order and
// types follow the settings file the program has always written.
struct tagOptionPara {
    std::int32_t Port = 1;
    std::int32_t BaudRate = 19200;
    std::int32_t ParityBits = 0;
    std::int32_t FlowCont = 0;
    std::int32_t BpsMode = 4;
    std::uint8_t teibai1 = 4;
    std::uint8_t teibai2 = 2;
    float freq = 13.56f;
    std::int32_t BPSspeed = 115200;
    std::int32_t fCPUType = 5;
    std::int32_t fROMSize = 11;
};

// Where the R/W is: the connection parameters edited by the connection dialog and saved in
// the settings file.
struct tagTCPIPPara {
    std::int32_t TCPPort = 9004;
    std::int32_t fTCPServer = 0;
    std::int32_t TCPServPort = 9004;
    QString TCPServAddr = QStringLiteral("192.168.0.1");
};
