// The update command's rules that need no R/W: refusal before a reader was found, nothing to
// write, the stand-in firmware kept away from real R/Ws, and the rebuild with the operator's
// connection parameters kept.

#include "update/UpdateSession.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "support/FakeLinkEnvironment.h"
#include "support/RecordingUpdateFrontEnd.h"
#include "support/VectorLogSink.h"
#include "update/LinkHost.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateTexts.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A host whose rebuild counts and starts from the start-up connection parameters, as the
// start-up construction does with the settings file's.
class CountingHost final : public LinkHost {
public:
    CountingHost(FakeLinkEnvironment& env, LogSink& log, LinkOperator& op)
        : env_(env), log_(log), op_(op) {
        RebuildLink();
        rebuilds = 0;
    }
    TFlashWrRXCont& Link() override { return *link_; }
    void RebuildLink() override {
        link_.reset();
        link_ = std::make_unique<TFlashWrRXCont>(env_, &log_, tagOptionPara{}, QStringList{}, &op_);
        link_->TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.8");
        link_->RomImage.front() = 0x00; // a firmware byte at the base
        link_->RomImageLoaded = 1;
        ++rebuilds;
    }
    int rebuilds = 0;

private:
    FakeLinkEnvironment& env_;
    LogSink& log_;
    LinkOperator& op_;
    std::unique_ptr<TFlashWrRXCont> link_;
};

struct Bench {
    FakeLinkEnvironment env;
    VectorLogSink log;
    RecordingUpdateFrontEnd frontEnd;
    CountingHost host{env, log, frontEnd};
    UpdateSession session{host, frontEnd};
    tagOptionPara option;
    std::int32_t fCpuProg = 1;
    UpdateOutcome Click() {
        UpdateSettings settings{.option = option, .fCpuProg = fCpuProg};
        return session.TB_WriteClick(settings);
    }
};

} // namespace

TEST(UpdateSession, FirstClickWithoutAReaderShowsTheConnectionErrorOnly) {
    Bench b;
    b.host.Link().StatusText = QStringLiteral("R/Wモジュールが見つかりませんでした。");
    EXPECT_EQ(b.Click().failedStep, UpdateStep::NoReader);
    EXPECT_EQ(b.frontEnd.errorBoxes,
              QStringList{QStringLiteral("R/Wモジュールが見つかりませんでした。")});
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.host.rebuilds, 0);
    EXPECT_EQ(b.session.fReconnect, 0);
}

TEST(UpdateSession, NothingToWriteLogsOneLineAndTouchesNothing) {
    Bench b;
    TFlashWrRXCont& link = b.host.Link();
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
        const UpdateOutcome outcome = b.Click();
        EXPECT_EQ(outcome.failedStep, UpdateStep::NoImage);
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(b.log.lines, QStringList{UpdateText::NoImage});
    }
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.option.BpsMode, 2); // the settings record is left alone too
    // Nothing happened, so nothing is rebuilt: the found R/W is still the one to update.
    EXPECT_EQ(b.host.rebuilds, 0);
    EXPECT_EQ(b.host.Link().ReaderFound, 1);
    EXPECT_EQ(b.session.fReconnect, 0);
}

TEST(UpdateSession, ARunRebuildsTheControllerWithTheOperatorsParameters) {
    Bench b;
    b.host.Link().ReaderFound = 1;
    b.host.Link().TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    b.host.Link().TCPIPPara.TCPServPort = 9100;
    // Already at the boot speed, so no bridge change; nothing answers, so the set-up fails.
    b.host.Link().BridgeSpeedIndex = 1;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::WriteSetUp);
    EXPECT_EQ(b.host.rebuilds, 1);
    EXPECT_EQ(b.host.Link().ReaderFound, 0);
    EXPECT_EQ(b.host.Link().TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(b.host.Link().TCPIPPara.TCPServPort, 9100);
    EXPECT_EQ(b.session.fReconnect, 1);
}

TEST(UpdateSession, ClickAfterARunConnectsFirstAndACancelRunsNothing) {
    Bench b;
    b.session.fReconnect = 1;
    b.frontEnd.answerDialog = false;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::NoReader);
    EXPECT_EQ(b.frontEnd.dialogs, 1);
    EXPECT_FALSE(b.log.Contains(UpdateText::NoImage));
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_EQ(b.host.rebuilds, 0);
}

TEST(UpdateSession, TheModeChosenInTheDialogDecidesWhatMustBeThere) {
    Bench b;
    TFlashWrRXCont& link = b.host.Link();
    b.session.fReconnect = 1;
    // Data in the reserved top only: enough for re-write mode, which the controller is in,
    // and nothing for the run the operator then chooses in the dialog.
    link.RomImage.front() = 0xFF;
    link.RomImage.back() = 0x00;
    link.ReWriteMode = 1;
    b.frontEnd.dialogReWriteMode = 0;
    b.frontEnd.dialogParams.TCPServAddr = QStringLiteral("127.0.0.9");
    b.frontEnd.dialogParams.TCPServPort = 9100;

    EXPECT_EQ(b.Click().failedStep, UpdateStep::NoImage);
    EXPECT_EQ(b.frontEnd.dialogs, 1);
    EXPECT_EQ(b.log.lines, QStringList{UpdateText::NoImage});
    EXPECT_TRUE(b.env.connects.empty()); // the R/W was not even looked for
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.frontEnd.errorBoxes.isEmpty());
    // What the operator confirmed is kept for the next click.
    EXPECT_EQ(link.ReWriteMode, 0);
    EXPECT_EQ(link.TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(b.session.fReconnect, 1);
    EXPECT_EQ(b.host.rebuilds, 0);
}

// The built-in stand-in firmware and a R/W outside loopback: refused before anything is sent,
// also when a later run's connection dialog is what moved the address away from loopback.
TEST(UpdateSession, StandInGoesToLoopbackOnlyAndIsRefusedBeforeAnyConnect) {
    if (!EmbeddedResources::FirmwareIsStandIn())
        GTEST_SKIP() << "this build carries the real firmware";
    Bench b;
    b.host.Link().ReaderFound = 1;
    b.host.Link().TCPIPPara.TCPServAddr = QStringLiteral("192.0.2.7");

    const UpdateOutcome first = b.Click();
    EXPECT_EQ(first.failedStep, UpdateStep::NoImage);
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(b.log.lines, QStringList{UpdateText::StandInRefused(QStringLiteral("192.0.2.7"))});
    EXPECT_TRUE(b.env.connects.empty());
    EXPECT_TRUE(b.env.sent.empty());
    EXPECT_TRUE(b.frontEnd.calls.isEmpty());
    EXPECT_EQ(b.host.rebuilds, 0); // the connection stays for a firmware file dropped next

    // A later run: the dialog (re-write mode, so the search sends nothing) picks another
    // address outside loopback; the first address was on loopback.
    b.session.fReconnect = 1;
    b.host.Link().TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    b.frontEnd.dialogParams.TCPServAddr = QStringLiteral("10.1.2.3");
    b.frontEnd.dialogReWriteMode = 1;
    b.log.lines.clear();
    EXPECT_EQ(b.Click().failedStep, UpdateStep::NoImage);
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
