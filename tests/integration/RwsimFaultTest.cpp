// The simulator's injected faults: each strikes as configured and is recorded.

#include "support/RwsimHarness.h"

#include <algorithm>

using namespace rwsim_test;
using rwsim::BootState;

namespace {

rwsim::SimConfig BootConfig() {
    rwsim::SimConfig config;
    config.romSizeCode = 5; // 32 KB from 0xFFFF8000
    config.startInBoot = true;
    return config;
}

// Set-up, transition and programming selection: ready for 0x50 frames.
void ReadyToProgram(Harness& h) {
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
}

TEST(RwsimFault, RefusePage) {
    rwsim::SimConfig config = BootConfig();
    config.faults.refusePage = 2;
    Harness h(config);
    ReadyToProgram(h);
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8000, 1), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8100, 2), 2), (Bytes{0xD0, 0x53}));
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8100, 2), 1), Bytes{0x06}) << "it strikes once";
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("page 2 refused")));
}

TEST(RwsimFault, PowerLossAfterPagesLeavesAHalfWrittenFlashInBootMode) {
    rwsim::SimConfig config = BootConfig();
    config.faults.dropAfterPages = 2;
    QTemporaryDir dir;
    config.dumpFile = dir.filePath(QStringLiteral("flash.bin"));
    {
        Harness h(config);
        ReadyToProgram(h);
        EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8000, 1), 1), Bytes{0x06});
        h.Send(ProgramFrame(0xFFFF8100, 2));
        EXPECT_TRUE(
            WaitFor([&] { return h.tcp->state() == QAbstractSocket::UnconnectedState; }, 2000));
        EXPECT_TRUE(h.tcp->readAll().isEmpty()) << "no acknowledgement for the last page";
        EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Boot);
        EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::Matching);
        EXPECT_TRUE(h.TranscriptHas(QStringLiteral("power lost after page 2")));
    }
    QFile dump(config.dumpFile);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QByteArray flash = dump.readAll();
    ASSERT_EQ(flash.size(), 0x8000);
    EXPECT_EQ(std::uint8_t(flash[0x100]), 2) << "the last page was written before power went";
    EXPECT_EQ(std::uint8_t(flash[0x200]), 0xFF);

    // A later run starts from that flash, in boot mode: it is not blank any more.
    rwsim::SimConfig next = BootConfig();
    next.flashFile = config.dumpFile;
    Harness again(next);
    again.BootSetupRx231();
    ASSERT_EQ(again.Exchange({0x40}, 1), Bytes{0x06});
    EXPECT_EQ(again.Exchange({0x4D}, 2), (Bytes{0xCD, 0x52}));
}

// Block erasure frames for the RX231 kind (2 KB blocks by address).
Bytes EraseFrame(std::uint32_t address) {
    return WithBootSum({0x59, 0x04, std::uint8_t(address >> 24), std::uint8_t(address >> 16),
                        std::uint8_t(address >> 8), std::uint8_t(address)});
}

TEST(RwsimFault, RefuseEraseBlock) {
    rwsim::SimConfig config = BootConfig();
    config.faults.refuseEraseBlock = 2;
    Harness h(config);
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x48}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(EraseFrame(0xFFFFF800), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(EraseFrame(0xFFFFF000), 2), (Bytes{0xD9, 0x51}));
    EXPECT_EQ(h.Exchange(EraseFrame(0xFFFFF000), 1), Bytes{0x06}) << "it strikes once";
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("block erasure 2 refused")));
}

TEST(RwsimFault, PowerLossDuringTheEraseLeavesTheRestOfTheFlash) {
    rwsim::SimConfig config = BootConfig();
    config.faults.dropDuringErase = 2;
    QTemporaryDir dir;
    const QString flashFile = dir.filePath(QStringLiteral("old.bin"));
    QFile old(flashFile);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(0x8000, char(0x5A)));
    old.close();
    config.flashFile = flashFile;
    Harness h(config);
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x48}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(EraseFrame(0xFFFFF800), 1), Bytes{0x06});
    h.Send(EraseFrame(0xFFFFF000));
    EXPECT_TRUE(WaitFor([&] { return h.tcp->state() == QAbstractSocket::UnconnectedState; }, 2000));
    EXPECT_TRUE(h.tcp->readAll().isEmpty()) << "no acknowledgement for that block";
    EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Boot);
    const auto erased = h.sim->Mcu().Flash().Read(0xFFFFF800, 0x800);
    const auto kept = h.sim->Mcu().Flash().Read(0xFFFFF000, 0x800);
    EXPECT_TRUE(std::all_of(erased.begin(), erased.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(std::all_of(kept.begin(), kept.end(), [](auto b) { return b == 0x5A; }));
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("power lost during block erasure 2")));
}

TEST(RwsimFault, WrongCrc) {
    rwsim::SimConfig config = BootConfig();
    Harness good(config);
    good.BootSetupRx231();
    ASSERT_EQ(good.Exchange({0x40}, 1), Bytes{0x06});
    const Bytes right = good.Exchange({0x9F}, 3);
    ASSERT_EQ(right.size(), 3u);

    config.faults.wrongCrc = true;
    Harness h(config);
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    const Bytes wrong = h.Exchange({0x9F}, 3);
    ASSERT_EQ(wrong.size(), 3u);
    EXPECT_EQ(wrong[0], 0x9F);
    EXPECT_NE(wrong, right);
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("wrong CRC sent")));
}

TEST(RwsimFault, RefusedDeviceSelect) {
    rwsim::SimConfig config = BootConfig();
    config.faults.refuseDeviceSelect = true;
    Harness h(config);
    ASSERT_TRUE(h.MatchBitRate());
    EXPECT_EQ(h.Exchange({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}, 2), (Bytes{0x90, 0x21}));
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("device select refused")));
}

TEST(RwsimFault, RefusedIdCode) {
    rwsim::SimConfig config = BootConfig();
    config.faults.refuseIdCode = true;
    Harness h(config);
    h.BootSetupRx231();
    EXPECT_EQ(h.Exchange({0x40}, 1), Bytes{0x16}) << "asks for an ID code";
    Bytes code{0x60, 0x10};
    for (char c : QByteArray("PLM4QXW7BBN2H-C8"))
        code.push_back(std::uint8_t(c));
    EXPECT_EQ(h.Exchange(WithBootSum(code), 2), (Bytes{0xE0, 0x61}));
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("ID code refused")));
}

TEST(RwsimFault, GarbledReplies) {
    rwsim::SimConfig config;
    config.faults.garbleReplies = true;
    Harness h(config);
    ASSERT_TRUE(h.Connect());
    const Bytes reply = h.Exchange(RwFrame('O', {0x90, 0x00}), 17);
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_NE(reply[0], 0x02);
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("reply garbled")));
}

} // namespace
