// Set-up, ID check, erase, programming, CRC verification and restart against the simulator:
// the flash must end up equal to the image.

#include "boot/BootLogTexts.h"
#include "support/BootSimFixture.h"

#include <algorithm>

namespace {
bool AllBytesAre(std::span<const std::uint8_t> bytes, std::uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == value; });
}
constexpr std::uint32_t kReservedTop = 0xFFFFC000u;
} // namespace

TEST_F(BootSimTest, Rx231FromFirmwareKeepsTheTop16KB) {
    rwsim::SimConfig config = Config(kRx231_256K, false);
    config.flashFile = OldFlashFile(256 * 1024);
    config.idCode = IdCodeText(tessaly::IdCodeA);
    Start(config, kRx231_256K.toolKind);
    FillImage();
    EnterBootFromFirmware();

    ASSERT_EQ(link->BootSetup(), 1) << log.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(log.Contains(QStringLiteral("SPEED :115200")));
    // The confirmation was answered at the new rate, so the bridge moved there too.
    EXPECT_TRUE(TranscriptHas(QStringLiteral("bridge 19200 -> 115200 bit/s")));
    link->fDispTxInfo = 1;
    ASSERT_EQ(link->BootIdCheck(1), 1);
    EXPECT_EQ(CountSent(QStringLiteral("60 10")), 1); // code A first, and accepted
    link->fDispTxInfo = 0;
    ASSERT_EQ(link->BootErase(1), 1);
    EXPECT_TRUE(log.Contains(QString::fromUtf8(BootLog::kUserRomNotBlank)));
    ASSERT_EQ(link->BootProgram(1), 1);
    ASSERT_EQ(link->BootCrcCheck(), 1);
    ASSERT_EQ(link->BootRestart(), 1);
    EXPECT_EQ(sim->Mcu().CurrentMode(), rwsim::Microcontroller::Mode::Firmware);

    const std::uint32_t base = link->RomImageBase;
    const auto written = FlashRange(base, kReservedTop - base);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), link->RomImage.begin()));
    EXPECT_TRUE(AllBytesAre(FlashRange(kReservedTop, 0x4000), 0x5A)) << "top 16 KB touched";
}

TEST_F(BootSimTest, Rx630ReWriteModeRewritesTheWholeFlash) {
    rwsim::SimConfig config = Config(kRx630_384K, true);
    config.flashFile = OldFlashFile(384 * 1024);
    config.idCode = IdCodeText(tessaly::IdCodeA);
    Start(config, kRx630_384K.toolKind);
    FillImage();
    link->fCpuProg = 0;

    ASSERT_EQ(link->BootSetup(), 1);
    link->fDispTxInfo = 1;
    ASSERT_EQ(link->BootIdCheck(0), 1);
    EXPECT_EQ(CountSent(QStringLiteral("60 10 47 2D")), 1); // code B first, refused
    EXPECT_EQ(CountSent(QStringLiteral("60 10 50 4C")), 1); // then code A
    link->fDispTxInfo = 0;
    ASSERT_EQ(link->BootErase(0), 1);
    EXPECT_TRUE(log.Contains(QStringLiteral("0Erase 成功")));
    ASSERT_EQ(link->BootProgram(0), 1);
    ASSERT_EQ(link->BootCrcCheck(), 1);
    ASSERT_EQ(link->BootRestart(), 1);

    const auto flash = FlashRange(link->RomImageBase, link->RomImage.size());
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), link->RomImage.begin()));
}
