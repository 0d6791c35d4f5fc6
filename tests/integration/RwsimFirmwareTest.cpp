// The simulated R/W normal firmware: its framed commands, answered in the request layout.

#include "support/RwsimHarness.h"

using namespace rwsim_test;

namespace {

const Bytes kProgramMode = RwFrame('N', {0x9B, '4', '8', '0', '2', '1', '5', '3', '7', '9'});

TEST(RwsimFirmware, CommandsAndReplies) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    EXPECT_EQ(h.Exchange({0x02, 0x00, 0x4E, 0x07, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00, 0x00, 0x03,
                          0x63, 0x0D},
                         7),
              kAck);

    const Bytes rom = h.Exchange({0x02, 0x00, 0x4F, 0x02, 0x90, 0x00, 0x03, 0xE6, 0x0D}, 17);
    ASSERT_EQ(rom.size(), 17u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rom.data()) + 5, 9), "1.00A0001");
    EXPECT_EQ(rom.back(), 0x0D);

    const Bytes chip = h.Exchange({0x02, 0x00, 0x55, 0x02, 0x90, 0x00, 0x03, 0xEC, 0x0D}, 18);
    ASSERT_EQ(chip.size(), 18u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(chip.data()) + 6, 9), "1.00C0001");
    // Replies carry their own correct sum, like requests.
    EXPECT_EQ(chip, RwFrame(0x30, Bytes(chip.begin() + 4, chip.begin() + 15)));

    EXPECT_TRUE(h.Drain().empty()) << "exactly one reply per request";
}

TEST(RwsimFirmware, BadFramesAreRefused) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    Bytes badSum = RwFrame('O', {0x90, 0x00});
    badSum[7] ^= 0x01;
    Bytes reply = h.Exchange(badSum, 7);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_NE(reply[2], 0x30);

    reply = h.Exchange(RwFrame('Z', {}), 7);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_NE(reply[2], 0x30);

    // Noise before a frame is skipped; a frame split over several writes is still one frame.
    const Bytes frame = RwFrame('O', {0x90, 0x00});
    h.Send({0xAA, 0x0D});
    h.Send(Bytes(frame.begin(), frame.begin() + 3));
    EXPECT_TRUE(h.Drain(50).empty());
    h.Send(Bytes(frame.begin() + 3, frame.end()));
    EXPECT_EQ(h.Receive(17).size(), 17u);
}

TEST(RwsimFirmware, ProgramModeNeedsTheAccessCode) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    const Bytes wrong = RwFrame('N', {0x9B, '4', '8', '0', '2', '1', '5', '3', '7', '8'});
    const Bytes refused = h.Exchange(wrong, 7);
    ASSERT_EQ(refused.size(), 7u);
    EXPECT_NE(refused[2], 0x30);
    EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Firmware);

    EXPECT_EQ(h.Exchange(kProgramMode, 7), kAck);
    EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Boot);
    // The boot program listens at 19200 for its bit-rate matching: 115200 bytes are garbage.
    h.Send(RwFrame('O', {0x90, 0x00}));
    EXPECT_TRUE(h.Drain().empty());
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("garbled")));
}

TEST(RwsimFirmware, SubCommand9DCopiesTheRomVersionToTheChip) {
    for (bool follows : {true, false}) {
        rwsim::SimConfig config;
        config.chipFollowsRom = follows;
        Harness h(config);
        ASSERT_TRUE(h.Connect());
        EXPECT_EQ(h.Exchange({0x02, 0x00, 0x4E, 0x01, 0x9D, 0x03, 0xF1, 0x0D}, 7), kAck);
        const Bytes chip = h.Exchange(RwFrame('U', {0x90, 0x00}), 18);
        ASSERT_EQ(chip.size(), 18u);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(chip.data()) + 6, 9),
                  follows ? "1.00A0001" : "1.00C0001");
    }
}

TEST(RwsimFirmware, ConnectionsReplaceEachOtherAndStateSurvives) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    EXPECT_EQ(h.Exchange(kProgramMode, 7), kAck);
    auto first = std::move(h.tcp);
    ASSERT_TRUE(h.Connect());
    EXPECT_TRUE(WaitFor([&] { return first->state() == QAbstractSocket::UnconnectedState; }, 2000));
    EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Boot);
}

TEST(RwsimFirmware, AClientGoneInMidFrameLeavesItsBytesOnTheLine) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    const Bytes frame = RwFrame('O', {0x90, 0x00});
    h.Send(Bytes(frame.begin(), frame.begin() + 4)); // 02 00 4F 02
    h.tcp->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return !h.sim->HasClient(); }, 2000));
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("4 byte(s) stay with the device")));
    // As on a real serial line, the next frame lands behind the stale bytes and is refused.
    ASSERT_TRUE(h.Connect());
    const Bytes reply = h.Exchange(frame, 7);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_NE(reply[2], 0x30);
}

TEST(RwsimFirmware, SilentChipFault) {
    rwsim::SimConfig config;
    config.faults.silentChip = true;
    Harness h(config);
    ASSERT_TRUE(h.Connect());
    h.Send(RwFrame('U', {0x90, 0x00}));
    EXPECT_TRUE(h.Drain().empty());
    EXPECT_EQ(h.Exchange(RwFrame('O', {0x90, 0x00}), 17).size(), 17u);
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("CHIP version request left unanswered")));
}

} // namespace
