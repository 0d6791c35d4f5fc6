#include <QCoreApplication>
#include <gtest/gtest.h>

#include "support/TestAddresses.h"

int main(int argc, char** argv) {
    // However a test binary is started, nothing it runs may leave this machine.
    qputenv("TESSALY_LOOPBACK_ONLY", "1");
    TestAddresses::UseOwnBridgePorts();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
