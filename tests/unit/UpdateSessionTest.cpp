// The update command's rules that need no R/W: refusal before a reader was found, nothing to
// write, the stand-in firmware kept away from real R/Ws, and the rebuild with the operator's
// connection parameters kept.

#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "support/FakeLinkEnvironment.h"
#include "support/FirmwareRecords.h"
#include "support/RecordingUpdateFrontEnd.h"
#include "support/VectorLogSink.h"
#include "update/DeviceSession.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateTexts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A device session on the fake platform whose controller starts from 127.0.0.8 and a firmware
// with one byte at the image base; its rebuilds are counted.
struct Bench {
    Bench() {
        LinkStartUp startUp;
        startUp.env = &env;
        startUp.workDir = dir.path();
        startUp.firmwareText = QByteArray::fromStdString(firmware_records::SRecordFile(
            0xFFFC0000u, 1, [](std::uint32_t) -> std::uint8_t { return 0x00; }));
        startUp.params.TCPServAddr = QStringLiteral("127.0.0.8");
        session = std::make_unique<DeviceSession>(startUp, &frontEnd);
        session->beforeRebuild = [this](LinkStartUp&) { ++rebuilds; };
        session->Events().Subscribe([this](const RunEvent& event) {
            if (event.kind == RunEvent::Kind::Log)
                WriteLogLine(&log, event.text, true, true);
            frontEnd.Take(event);
        });
        session->Build();
        log.lines.clear();
    }
    RunOutcome Click() {
        RunRequest request;
        request.option = option;
        const RunOutcome outcome = session->Update(request);
        if (outcome.option)
            option = *outcome.option;
        return outcome;
    }
    TFlashWrRXCont& Link() { return session->Link(); }

    QTemporaryDir dir;
    FakeLinkEnvironment env;
    VectorLogSink log;
    RecordingUpdateFrontEnd frontEnd;
    std::unique_ptr<DeviceSession> session;
    int rebuilds = 0;
    tagOptionPara option;
};

} // namespace

TEST(UpdateSession, FirstClickWithoutAReaderShowsTheConnectionErrorOnly) {
    Bench b;
    b.Link().StatusText = QStringLiteral("R/Wモジュールが見つかりませんでした。");
    EXPECT_EQ(b.Click().failedStep, UpdateStep::Connect);
    EXPECT_EQ(b.frontEnd.errorBoxes,
              QStringList{QStringLiteral("R/Wモジュールが見つかりませんでした。")});
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.rebuilds, 0);
    EXPECT_EQ(b.session->fReconnect, 0);
}

TEST(UpdateSession, NothingToWriteLogsOneLineAndTouchesNothing) {
    Bench b;
    TFlashWrRXCont& link = b.Link();
    link.ReaderFound = 1;
    b.option.BpsMode = 2;
    // Not loaded; loaded but blank; data in the reserved top only, which a run that switches
    // the R/W itself leaves alone.
    const std::function<void()> images[] = {
        [&] { link.RomImageLoaded = 0; },
        [&] {
            link.RomImageLoaded = 1;
            link.RomImage.front() = 0xFF;
        },
        [&] { link.RomImage.back() = 0x00; },
    };
    for (const auto& image : images) {
        image();
        b.log.lines.clear();
        const RunOutcome outcome = b.Click();
        EXPECT_EQ(outcome.failedStep, UpdateStep::Image);
        EXPECT_FALSE(outcome.Ok());
        EXPECT_EQ(b.log.lines, QStringList{UpdateText::NoImage});
    }
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.option.BpsMode, 2); // the settings record is left alone too
    // Nothing happened, so nothing is rebuilt: the found R/W is still the one to update.
    EXPECT_EQ(b.rebuilds, 0);
    EXPECT_EQ(b.Link().ReaderFound, 1);
    EXPECT_EQ(b.session->fReconnect, 0);
}

TEST(UpdateSession, ARunRebuildsTheControllerWithTheOperatorsParameters) {
    Bench b;
    b.Link().ReaderFound = 1;
    b.Link().TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    b.Link().TCPIPPara.TCPServPort = 9100;
    // Already at the boot speed, so no bridge change; nothing answers, so the set-up fails.
    b.Link().BridgeSpeedIndex = 1;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::SetUp);
    EXPECT_EQ(b.rebuilds, 1);
    EXPECT_EQ(b.Link().ReaderFound, 0);
    EXPECT_EQ(b.Link().TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(b.Link().TCPIPPara.TCPServPort, 9100);
    EXPECT_EQ(b.session->fReconnect, 1);
}

TEST(UpdateSession, ClickAfterARunConnectsFirstAndACancelRunsNothing) {
    Bench b;
    b.session->fReconnect = 1;
    b.frontEnd.answerDialog = false;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::Connect);
    EXPECT_EQ(b.frontEnd.dialogs, 1);
    EXPECT_FALSE(b.log.Contains(UpdateText::NoImage));
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.rebuilds, 0);
}

TEST(UpdateSession, TheModeChosenInTheDialogDecidesWhatMustBeThere) {
    Bench b;
    TFlashWrRXCont& link = b.Link();
    b.session->fReconnect = 1;
    // Data in the reserved top only: enough for re-write mode, which the controller is in,
    // and nothing for the run the operator then chooses in the dialog.
    link.RomImage.front() = 0xFF;
    link.RomImage.back() = 0x00;
    link.ReWriteMode = 1;
    b.frontEnd.dialogReWriteMode = 0;
    b.frontEnd.dialogParams.TCPServAddr = QStringLiteral("127.0.0.9");
    b.frontEnd.dialogParams.TCPServPort = 9100;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::Image);
    EXPECT_EQ(b.frontEnd.dialogs, 1);
    EXPECT_EQ(b.log.lines, QStringList{UpdateText::NoImage});
    EXPECT_TRUE(b.env.connects.empty()); // the R/W was not even looked for
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.frontEnd.errorBoxes.isEmpty());
    // What the operator confirmed is kept for the next click.
    EXPECT_EQ(link.ReWriteMode, 0);
    EXPECT_EQ(link.TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(b.session->fReconnect, 1);
    EXPECT_EQ(b.rebuilds, 0);
}

// The built-in stand-in firmware and a R/W outside loopback: refused before anything is sent,
// also when a later run's connection dialog is what moved the address away from loopback.
TEST(UpdateSession, StandInGoesToLoopbackOnlyAndIsRefusedBeforeAnyConnect) {
    if (!EmbeddedResources::FirmwareIsStandIn())
        GTEST_SKIP() << "this build carries the real firmware";
    Bench b;
    b.Link().ReaderFound = 1;
    b.Link().TCPIPPara.TCPServAddr = QStringLiteral("192.0.2.7");

    const RunOutcome first = b.Click();
    EXPECT_EQ(first.failedStep, UpdateStep::Image);
    EXPECT_FALSE(first.Ok());
    EXPECT_EQ(b.log.lines, QStringList{UpdateText::StandInRefused(QStringLiteral("192.0.2.7"))});
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_EQ(b.rebuilds, 0); // the connection stays for a firmware file dropped next

    // A later run: the dialog (re-write mode, so the search sends nothing) picks another
    // address outside loopback; the first address was on loopback.
    b.session->fReconnect = 1;
    b.Link().TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    b.frontEnd.dialogParams.TCPServAddr = QStringLiteral("10.1.2.3");
    b.frontEnd.dialogReWriteMode = 1;
    b.log.lines.clear();
    EXPECT_EQ(b.Click().failedStep, UpdateStep::Image);
    EXPECT_TRUE(b.log.Contains(UpdateText::StandInRefused(QStringLiteral("10.1.2.3"))));
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_TRUE(b.env.sent.empty());
}

TEST(UpdatePreflight, RealFirmwareOrALoadedFileGoesToAnyAddress) {
    FakeLinkEnvironment env;
    VectorLogSink log;
    TFlashWrRXCont link(env, &log, tagOptionPara{}, QStringList{}, nullptr);
    link.RomImage.front() = 0x00;
    link.RomImageLoaded = 1;
    link.TCPIPPara.TCPServAddr = QStringLiteral("192.0.2.7");
    EXPECT_FALSE(UpdateMayStart(link, true));
    EXPECT_TRUE(UpdateMayStart(link, false)); // a build with the real firmware
    link.RomImageSource = QStringLiteral("/srv/firmware/zmw.mot");
    EXPECT_TRUE(UpdateMayStart(link, true)); // the operator's own file
    EXPECT_EQ(log.lines.size(), 1);
}
