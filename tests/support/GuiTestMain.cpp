#include <QApplication>
#include <gtest/gtest.h>

#include "support/TestAddresses.h"

int main(int argc, char** argv) {
    // However a test binary is started, nothing it runs may leave this machine, and the
    // windows need no display.
    qputenv("TESSALY_LOOPBACK_ONLY", "1");
    TestAddresses::UseOwnBridgePorts();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
