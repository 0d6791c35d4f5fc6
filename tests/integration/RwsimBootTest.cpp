// The simulated boot program, driven with hand-written boot-mode frames.

#include "support/RwsimHarness.h"

#include "core/image/Crc16.h"
#include "rwsim/DeviceCrc.h"
#include "rwsim/EraseBlocks.h"

using namespace rwsim_test;
using rwsim::BootState;

namespace {

rwsim::SimConfig BootConfig(rwsim::McuKind kind = rwsim::McuKind::Rx231, int romSizeCode = 5) {
    rwsim::SimConfig config;
    config.kind = kind;
    config.romSizeCode = romSizeCode; // 5: 32 KB from 0xFFFF8000, quick to erase and check
    config.startInBoot = true;
    return config;
}

Bytes Erase59(std::uint32_t address) {
    return WithBootSum({0x59, 0x04, std::uint8_t(address >> 24), std::uint8_t(address >> 16),
                        std::uint8_t(address >> 8), std::uint8_t(address)});
}

TEST(RwsimBoot, BitRateMatching) {
    Harness h(BootConfig());
    ASSERT_TRUE(h.MoveBridge(0x1));
    h.Send({0x55}); // before any 0x00: nothing to answer
    for (int i = 0; i < rwsim::BootProgram::kZerosToMatch - 1; ++i)
        h.Send({0x00});
    EXPECT_TRUE(h.Drain(100).empty()) << "too few zeros to measure the bit rate";
    h.Send({0x00});
    h.Send({0x00});
    h.Send({0x00});
    EXPECT_EQ(h.Drain(100), Bytes{0x00}) << "one answer, however many zeros follow";
    EXPECT_EQ(h.Exchange({0x55}, 1), Bytes{0xE6});
    EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::DeviceSelect);
}

TEST(RwsimBoot, MatchingFailsAtTheWrongSpeedOrWithAWrongByte) {
    Harness h(BootConfig());
    ASSERT_TRUE(h.Connect()); // the bridge is still at 115200
    for (int i = 0; i < 12; ++i)
        h.Send({0x00});
    EXPECT_TRUE(h.Drain().empty());

    ASSERT_TRUE(h.MoveBridge(0x1));
    for (int i = 0; i < 10; ++i)
        h.Send({0x00});
    EXPECT_EQ(h.Receive(1), Bytes{0x00});
    EXPECT_EQ(h.Exchange({0x54}, 1), Bytes{0xFF}) << "not 0x55 after matching";
    EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::Matching);
}

TEST(RwsimBoot, Rx231SetUpWithSpeedChanges) {
    rwsim::SimConfig config = BootConfig();
    config.startInBoot = false;
    Harness h(config);
    // From the R/W firmware: program mode, then the bridge down to 19200.
    ASSERT_TRUE(h.Connect());
    ASSERT_EQ(h.Exchange(RwFrame('N', {0x9B, '4', '8', '0', '2', '1', '5', '3', '7', '9'}), 7),
              kAck);
    ASSERT_TRUE(h.MatchBitRate());
    EXPECT_EQ(h.Exchange({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}, 1), Bytes{0x46});
    EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::BitRateSelect) << "no clock mode";
    EXPECT_EQ(h.Exchange({0x3F, 0x07, 0x04, 0x80, 0x00, 0x00, 0x02, 0x02, 0x01, 0x31}, 1),
              Bytes{0x06});
    // The confirmation must come at the new rate: at 19200 it is garbage.
    h.Send({0x06});
    EXPECT_TRUE(h.Drain().empty());
    h.ConfirmAt115200();
    EXPECT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::CommandWait);
}

TEST(RwsimBoot, Rx63xSetUpWithClockMode) {
    for (auto [kind, code] : {std::pair{rwsim::McuKind::Rx630, Bytes{'7', '5', '0', '5'}},
                              std::pair{rwsim::McuKind::Rx63T, Bytes{'7', 'n', '0', '5'}}}) {
        Harness h(BootConfig(kind));
        ASSERT_TRUE(h.MatchBitRate());
        EXPECT_EQ(h.Exchange(WithBootSum({0x10, 0x04, '8', 'a', '0', '2'}), 2),
                  (Bytes{0x90, 0x21}));
        Bytes select{0x10, 0x04};
        select.insert(select.end(), code.begin(), code.end());
        EXPECT_EQ(h.Exchange(WithBootSum(select), 1), Bytes{0x06});
        EXPECT_EQ(h.Exchange({0x21}, 4), (Bytes{0x31, 0x01, 0x00, 0xCE}));
        EXPECT_EQ(h.Exchange({0x11, 0x01, 0x00, 0xEE}, 1), Bytes{0x06});
        // 115200 bit/s, 13.56 MHz, ratios 4 and 2
        EXPECT_EQ(h.Exchange({0x3F, 0x07, 0x04, 0x80, 0x05, 0x4C, 0x02, 0x04, 0x02, 0xDD}, 1),
                  Bytes{0x06});
        h.ConfirmAt115200();
        EXPECT_EQ(h.Exchange({0x40}, 1), Bytes{0x26});
    }
}

TEST(RwsimBoot, RefusalsOfFramesAndStates) {
    Harness h(BootConfig());
    ASSERT_TRUE(h.MatchBitRate());
    EXPECT_EQ(h.Exchange({0x40}, 2), (Bytes{0xC0, 0x80})) << "transition before set-up";
    EXPECT_EQ(h.Exchange({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF2}, 2), (Bytes{0x90, 0x11}))
        << "sum error";
    EXPECT_EQ(h.Exchange({0x11, 0x01, 0x00, 0xEE}, 2), (Bytes{0x91, 0x80}))
        << "the RX231 kind has no clock mode selection";
    EXPECT_EQ(h.Exchange({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}, 1), Bytes{0x46});
    // RX231 kind: the input clock must be 0
    EXPECT_EQ(h.Exchange(WithBootSum({0x3F, 0x07, 0x04, 0x80, 0x05, 0x4C, 0x02, 0x02, 0x01}), 2),
              (Bytes{0xBF, 0x25}));
    EXPECT_EQ(h.Exchange(WithBootSum({0x3F, 0x07, 0x04, 0x81, 0, 0, 0x02, 0x02, 0x01}), 2),
              (Bytes{0xBF, 0x24}))
        << "115300 bit/s";
    // The status inquiry reports the last error and the state.
    EXPECT_EQ(h.Exchange({0x4F}, 5), WithBootSum({0x5F, 0x02, 0x13, 0x24}));
    EXPECT_EQ(h.sim->Mcu().CurrentBootState(), BootState::BitRateSelect);
}

TEST(RwsimBoot, InquiriesAreWellFormed) {
    Harness h(BootConfig(rwsim::McuKind::Rx231, 11));
    ASSERT_TRUE(h.MatchBitRate());
    for (std::uint8_t command : {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x27, 0x2A, 0x2B, 0x4F}) {
        h.Send({command});
        const Bytes head = h.Receive(2);
        ASSERT_EQ(head.size(), 2u) << int(command);
        EXPECT_EQ(head[0], command + 0x10);
        Bytes reply = head;
        const Bytes rest = h.Receive(std::size_t(head[1]) + 1);
        reply.insert(reply.end(), rest.begin(), rest.end());
        ASSERT_EQ(reply.size(), std::size_t(head[1]) + 3) << int(command);
        EXPECT_EQ(WithBootSum(Bytes(reply.begin(), reply.end() - 1)), reply) << int(command);
    }
    EXPECT_EQ(h.Exchange({0x20}, 14),
              WithBootSum({0x30, 0x0B, 0x01, 0x09, '8', 'a', '0', '2', 'R', 'X', '2', '3', '1'}));
    EXPECT_EQ(h.Exchange({0x25}, 12),
              WithBootSum({0x35, 0x09, 0x01, 0xFF, 0xFC, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(h.Exchange({0x27}, 5), WithBootSum({0x37, 0x02, 0x01, 0x00}));
}

TEST(RwsimBoot, Rx231EraseProgramCrcRestart) {
    rwsim::SimConfig config = BootConfig();
    // Start from a flash that holds old firmware, so that it must be erased first.
    QTemporaryDir dir;
    config.flashFile = dir.filePath(QStringLiteral("old.bin"));
    QFile old(config.flashFile);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(0x8000, '\x5A'));
    old.close();
    Harness h(config);
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});

    EXPECT_EQ(h.Exchange({0x4D}, 2), (Bytes{0xCD, 0x52})) << "not blank";
    EXPECT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8000, 0x00), 2), (Bytes{0xD0, 0x53}))
        << "programming over unerased bytes";
    EXPECT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});

    EXPECT_EQ(h.Exchange({0x48}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(Erase59(0xFFFFF900), 2), (Bytes{0xD9, 0x2A})) << "not a block start";
    EXPECT_EQ(h.Exchange(WithBootSum({0x58, 0x01, 0x00}), 2), (Bytes{0xD8, 0x80}))
        << "erasure by number belongs to the other kind";
    for (std::uint32_t a = 0xFFFFF800; a >= 0xFFFF8000; a -= 2048)
        ASSERT_EQ(h.Exchange(Erase59(a), 1), Bytes{0x06}) << std::hex << a;
    EXPECT_EQ(h.Exchange(Erase59(0xFFFF7800), 2), (Bytes{0xD9, 0x2A})) << "below the flash";
    EXPECT_EQ(h.Exchange({0x59, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xA7}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange({0x4D}, 1), Bytes{0x06}) << "blank now";

    EXPECT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8000, 0x10), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8100, 0x20), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8100, 0x20), 2), (Bytes{0xD0, 0x53}))
        << "the same page twice";
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF8280, 0x20), 2), (Bytes{0xD0, 0x2A})) << "unaligned";
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFF7F00, 0x20), 2), (Bytes{0xD0, 0x2A}))
        << "below the flash";
    Bytes badSum = ProgramFrame(0xFFFF8200, 0x30);
    badSum.back() ^= 0x01;
    EXPECT_EQ(h.Exchange(badSum, 2), (Bytes{0xD0, 0x11}));
    EXPECT_EQ(h.Exchange(ProgramFrame(0xFFFFC000, 0x40), 1), Bytes{0x06}) << "above the CRC";
    EXPECT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});

    // The CRC covers the base up to 0xFFFFBFFF: the two pages and erased bytes.
    Bytes image(0x4000, 0xFF);
    for (int i = 0; i < 256; ++i) {
        image[i] = std::uint8_t(0x10 + i);
        image[256 + i] = std::uint8_t(0x20 + i);
    }
    const std::uint16_t crc = tessaly::CalcCrc16(image); // the tool's own CRC
    EXPECT_EQ(h.Exchange({0x9F}, 3), (Bytes{0x9F, std::uint8_t(crc >> 8), std::uint8_t(crc)}));

    EXPECT_EQ(h.Exchange({0x9D}, 1), Bytes{0x9D});
    EXPECT_EQ(h.sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Firmware);
    const Bytes rom = h.Exchange(RwFrame('O', {0x90, 0x00}), 17);
    ASSERT_EQ(rom.size(), 17u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rom.data()) + 5, 9), "1.01A0002");
}

TEST(RwsimBoot, DeviceCrcCheckValue) {
    const char text[] = "123456789";
    EXPECT_EQ(rwsim::DeviceCrc16({reinterpret_cast<const std::uint8_t*>(text), 9}), 0x906E);
}

TEST(RwsimBoot, Rx63xBlockMap) {
    const std::pair<int, rwsim::EraseBlock> expected[] = {
        {0, {0xFFFFF000, 0x1000}},  {3, {0xFFFFC000, 0x1000}},   {7, {0xFFFF8000, 0x1000}},
        {8, {0xFFFF4000, 0x4000}},  {29, {0xFFFA0000, 0x4000}},  {30, {0xFFF98000, 0x8000}},
        {37, {0xFFF60000, 0x8000}}, {38, {0xFFF50000, 0x10000}}, {59, {0xFFE00000, 0x10000}}};
    for (auto [number, block] : expected) {
        const auto found = rwsim::Rx63xBlock(std::uint8_t(number));
        ASSERT_TRUE(found) << number;
        EXPECT_EQ(found->first, block.first) << number;
        EXPECT_EQ(found->size, block.size) << number;
    }
    EXPECT_FALSE(rwsim::Rx63xBlock(60));
}

TEST(RwsimBoot, Rx63xEraseByBlockNumber) {
    Harness h(BootConfig(rwsim::McuKind::Rx630, 13)); // 384 KB: blocks 0 to 29
    ASSERT_TRUE(h.MatchBitRate());
    ASSERT_EQ(h.Exchange(WithBootSum({0x10, 0x04, '7', '5', '0', '5'}), 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x11, 0x01, 0x00, 0xEE}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x3F, 0x07, 0x04, 0x80, 0x05, 0x4C, 0x02, 0x04, 0x02, 0xDD}, 1),
              Bytes{0x06});
    h.ConfirmAt115200();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x26});
    // Programme the lowest and the highest page, then erase them by number.
    ASSERT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(ProgramFrame(0xFFFA0000, 1), 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(ProgramFrame(0xFFFFFF00, 2), 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x48}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(WithBootSum({0x58, 0x01, 0x00}), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(WithBootSum({0x58, 0x01, 30}), 2), (Bytes{0xD8, 0x29}))
        << "block 30 is not on a 384 KB part";
    EXPECT_EQ(h.Exchange({0x58, 0x01, 0xFF, 0xA8}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange({0x4D}, 2), (Bytes{0xCD, 0x52})) << "block 29 still holds data";
    ASSERT_EQ(h.Exchange({0x48}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange(WithBootSum({0x58, 0x01, 29}), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange({0x58, 0x01, 0xFF, 0xA8}, 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange({0x4D}, 1), Bytes{0x06});

    // One page at 0xFFFB0000; the CRC runs from 0xFFFA0000 to 0xFFFFBFFF.
    ASSERT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(ProgramFrame(0xFFFB0000, 7), 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});
    Bytes image(0x5C000, 0xFF);
    for (int i = 0; i < 256; ++i)
        image[0x10000 + i] = std::uint8_t(7 + i);
    const std::uint16_t crc = tessaly::CalcCrc16(image); // the tool's own CRC
    EXPECT_EQ(h.Exchange({0x9F}, 3), (Bytes{0x9F, std::uint8_t(crc >> 8), std::uint8_t(crc)}));
}

TEST(RwsimBoot, IdCodeProtection) {
    rwsim::SimConfig config = BootConfig();
    config.idCode = "G-BNQQZ5PLLX7H-4";
    Harness h(config);
    h.BootSetupRx231();
    EXPECT_EQ(h.Exchange({0x40}, 1), Bytes{0x16});
    EXPECT_EQ(h.Exchange({0x4D}, 2), (Bytes{0xCD, 0x80})) << "locked until the ID code";
    Bytes wrong{0x60, 0x10};
    for (char c : QByteArray("PLM4QXW7BBN2H-C8"))
        wrong.push_back(std::uint8_t(c));
    EXPECT_EQ(h.Exchange(WithBootSum(wrong), 2), (Bytes{0xE0, 0x61}));
    Bytes right{0x60, 0x10};
    for (char c : config.idCode)
        right.push_back(std::uint8_t(c));
    EXPECT_EQ(h.Exchange(WithBootSum(right), 1), Bytes{0x06});
    EXPECT_EQ(h.Exchange({0x4D}, 1), Bytes{0x06});
}

TEST(RwsimBoot, MemoryReadAndSums) {
    Harness h(BootConfig());
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(ProgramFrame(0xFFFF8000, 0x00), 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});
    const Bytes read =
        h.Exchange(WithBootSum({0x52, 0x09, 0x01, 0xFF, 0xFF, 0x80, 0x00, 0, 0, 0x01, 0x00}), 262);
    ASSERT_EQ(read.size(), 262u);
    EXPECT_EQ(Bytes(read.begin(), read.begin() + 5), (Bytes{0x52, 0, 0, 0x01, 0x00}));
    EXPECT_EQ(read[5 + 0x7F], 0x7F);
    EXPECT_EQ(WithBootSum(Bytes(read.begin(), read.end() - 1)), read);
    // 32 KB of 0xFF with one page 0..255 in place of 256 of them
    const std::uint32_t sum = 0x8000u * 0xFF - 256u * 0xFF + 255u * 256 / 2;
    EXPECT_EQ(h.Exchange({0x4B}, 7),
              WithBootSum({0x5B, 0x04, std::uint8_t(sum >> 24), std::uint8_t(sum >> 16),
                           std::uint8_t(sum >> 8), std::uint8_t(sum)}));
    EXPECT_EQ(h.Exchange({0x71, 0x04, 0x01, 0xFF, 0x80, 0x00, 0x0B}, 1), Bytes{0x40});
}

TEST(RwsimBoot, SerialTimingKeepsTheBytesInOrder) {
    rwsim::SimConfig config = BootConfig();
    config.serialTiming = true;
    config.pageProgramUs = 1000;
    Harness h(config);
    h.BootSetupRx231();
    ASSERT_EQ(h.Exchange({0x40}, 1), Bytes{0x06});
    ASSERT_EQ(h.Exchange({0x43}, 1), Bytes{0x06});
    for (std::uint32_t page = 0; page < 4; ++page)
        ASSERT_EQ(h.Exchange(ProgramFrame(0xFFFF8000 + page * 256, std::uint8_t(page)), 1),
                  Bytes{0x06});
    EXPECT_EQ(h.Exchange(kEndOfProgramming, 1), Bytes{0x06});
}

} // namespace
