// The tessaly-rwsim command line: values are checked before the simulator starts.

#include "rwsim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(QStringList args, rwsim::SimConfig& config, rwsim::RunOptions& run, QString* error) {
    rwsim::SimOptions options;
    args.prepend(QStringLiteral("tessaly-rwsim"));
    if (!options.Parser().parse(args)) {
        *error = options.Parser().errorText();
        return false;
    }
    return options.Read(config, run, error);
}

TEST(RwsimOptions, DefaultsAndValues) {
    rwsim::SimConfig config;
    rwsim::RunOptions run;
    QString error;
    ASSERT_TRUE(Parse({}, config, run, &error)) << error.toStdString();
    EXPECT_EQ(config.address, QHostAddress(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(config.udpPort, 30718);
    EXPECT_EQ(config.tcpPort, 9004);
    EXPECT_TRUE(config.serialTiming) << "the program models the wire unless told not to";
    EXPECT_TRUE(config.chipFollowsRom);

    ASSERT_TRUE(Parse({"--kind", "RX63T", "--rom-size", "13", "--serial-timing", "off", "--id-code",
                       "PLM4QXW7BBN2H-C8", "--chip-stays", "--refuse-page", "3", "--bridge-bps",
                       "19200", "--refuse-erase-block", "4", "--drop-during-erase", "5",
                       "--silent-rom-after-update"},
                      config, run, &error))
        << error.toStdString();
    EXPECT_EQ(config.kind, rwsim::McuKind::Rx63T);
    EXPECT_EQ(config.romSizeCode, 13);
    EXPECT_FALSE(config.serialTiming);
    EXPECT_EQ(config.idCode, "PLM4QXW7BBN2H-C8");
    EXPECT_FALSE(config.chipFollowsRom);
    EXPECT_EQ(config.faults.refusePage, 3);
    EXPECT_EQ(config.bridgeBps, 19200);
    EXPECT_EQ(config.faults.refuseEraseBlock, 4);
    EXPECT_EQ(config.faults.dropDuringErase, 5);
    EXPECT_TRUE(config.faults.silentRomAfterUpdate);
}

TEST(RwsimOptions, BadValuesAreRefused) {
    const QStringList bad[] = {{"--kind", "rx210"},
                               {"--rom-version", "1.00"},
                               {"--id-code", "SHORT"},
                               {"--bridge-bps", "14400"},
                               {"--udp-port", "70000"},
                               {"--serial-timing", "maybe"},
                               {"--address", "not-an-address"},
                               {"--time-limit", "0"},
                               {"--refuse-page", "x"},
                               {"--drop-during-erase", "0"}};
    for (const QStringList& args : bad) {
        rwsim::SimConfig config;
        rwsim::RunOptions run;
        QString error;
        EXPECT_FALSE(Parse(args, config, run, &error)) << args.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
