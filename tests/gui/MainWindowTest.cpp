#include "app/CommandGate.h"
#include "app/QtTranslations.h"
#include "app/SettingsFile.h"
#include "app/TConfigDlg.h"
#include "app/TGuage1Dlg.h"
#include "app/TRXProgAppForm.h"
#include "app/WindowUpdate.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/AdapterMatch.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "resources/EmbeddedResources.h"
#include "support/FakeLinkEnvironment.h"
#include "support/FirmwareRecords.h"
#include "support/FixedAdapters.h"
#include "support/ModalDialogs.h"
#include "support/ReaderReplies.h"
#include "support/WindowDevice.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <utility>

#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Closing a window in a test must not end the test program's event loops.
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toUtf8());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        context.executablePath = dir.path() + QStringLiteral("/bin/Tessaly");
        context.environment = &env;
        context.adapters = &adapters;
        context.connectOnShow = false;
    }
    void TearDown() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    std::unique_ptr<TRXProgAppForm> MakeForm() { return std::make_unique<TRXProgAppForm>(context); }

    void WriteIni(const QByteArray& text) {
        QFile file(dir.path() + QStringLiteral("/bin/Tessaly.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Connects the link to the scripted peer standing in for the R/W.
    void ConnectLink(TRXProgAppForm& form) {
        int opened = 0;
        ASSERT_TRUE(RunOnWindowDevice(form, [&](TFlashWrRXCont& link) {
            link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
            opened = link.OpenLink();
        }));
        ASSERT_EQ(opened, 1);
    }

    // The R/W the search finds on its first try: it acknowledges the mode set and answers both
    // version requests. `during` runs once, on the window's thread, at the first frame the
    // search sends (the search waits meanwhile).
    void AnswerAsReader(std::function<void()> during) {
        env.SetResponder([this, during = std::move(during)](const QByteArray& f) mutable {
            if (during)
                OnWindowThread(std::exchange(during, nullptr));
            if (ReaderReplies::IsDousaModeSet(f))
                env.Reply(ReaderReplies::Ack());
            else if (ReaderReplies::IsRomRequest(f))
                env.Reply(ReaderReplies::RomVersion("1.00A0001"));
            else if (ReaderReplies::IsChipRequest(f))
                env.Reply(ReaderReplies::ChipVersion("1.00C0001"));
        });
    }

    // A firmware file the RX231 image takes.
    QString WriteFirmwareFile() {
        const QString path = dir.path() + QStringLiteral("/new.mot");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(firmware_records::SRecordFile(0xFFFC0000u, 256, firmware_records::FirmwareByte)
                       .c_str());
        return path;
    }

    // A file dragged onto `target` and, when the drag was taken, dropped there; the toolkit
    // hands both to the first widget from `target` up that takes drops. True when taken.
    static bool Drop(QWidget* target, const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return true;
    }

    static QStringList MemoLines(const TRXProgAppForm& form) {
        return form.SPTMemo->toPlainText().split(QLatin1Char('\n'));
    }

    QTemporaryDir dir;
    FakeLinkEnvironment env;
    FixedAdapters adapters{{{0xC0A8000Au, 0xFFFFFF00u}}}; // 192.168.0.10 / 255.255.255.0
    StartupContext context;
};

} // namespace

TEST_F(MainWindowTest, StartsWithItsCaptionHiddenMenusAndTheVersionAfterOneSecond) {
    auto form = MakeForm();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZMW ファームウェアアップデート"));
    EXPECT_FALSE(form->MnCmd->menuAction()->isVisible());
    EXPECT_FALSE(form->MnCmd->actions().isEmpty()) << "the diagnostic items are there, hidden";
    EXPECT_FALSE(form->MnConfig->menuAction()->isVisible());
    EXPECT_FALSE(form->Help1->menuAction()->isVisible());
    EXPECT_TRUE(form->File1->menuAction()->isVisible());
    EXPECT_TRUE(form->MnFarm->menuAction()->isVisible());
    EXPECT_TRUE(form->STAddr->isHidden());
    EXPECT_TRUE(form->STTitle->isVisible());
    EXPECT_EQ(form->CGauge1->value(), 0);
    EXPECT_TRUE(form->VerDigits().isEmpty());

    // The work folder beside the executable holds the chip updater, and the embedded firmware
    // is in the link controller's image.
    EXPECT_EQ(form->WorkDir(), dir.path() + QStringLiteral("/bin/TessalyChip"));
    EXPECT_TRUE(QFile::exists(WorkFolder::ChipUpdaterPath(form->WorkDir())));
    ASSERT_NE(form->Link(), nullptr);
    EXPECT_EQ(form->Link()->RomImageLoaded, 1);
    // A build with the generated stand-in firmware says so at start.
    EXPECT_EQ(MemoLines(*form).contains(UpdateText::StandInNotice),
              EmbeddedResources::FirmwareIsStandIn());

    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->VerDigits().isEmpty(); }, 5000));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZMW ファームウェアアップデート Ver.1.1.0.0"));
    EXPECT_EQ(form->VerDigits(), QStringLiteral("1100"));
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(MainWindowTest, ReadsTheTcpKeysAtStartAndWritesTheLinksValuesAtClose) {
    WriteIni("[Option]\nTCPServAddr=10.16.77.170\nTCPServPort=10777\nfCPUType=7\nfreq=2000\n");
    auto form = MakeForm();
    EXPECT_EQ(form->IniFileName(), dir.path() + QStringLiteral("/bin/Tessaly.ini"));
    EXPECT_EQ(form->Link()->TCPIPPara.TCPServAddr, QStringLiteral("10.16.77.170"));
    EXPECT_EQ(form->Link()->TCPIPPara.TCPServPort, 10777);
    // Only the TCP keys are read: the other options keep their start-up values.
    EXPECT_EQ(form->Settings().option.fCPUType, 5);
    EXPECT_EQ(form->Link()->OptionPara.fCPUType, 5);

    form->show();
    form->Link()->TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    form->Link()->TCPIPPara.TCPPort = 9100;
    form->close();

    const tagTCPIPPara saved = SettingsFile(form->IniFileName()).ReadTcpKeys();
    EXPECT_EQ(saved.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(saved.TCPPort, 9100);
    EXPECT_EQ(saved.TCPServPort, 10777);
}

TEST_F(MainWindowTest, RebuiltLinkIsFreshReadsTheSettingsFileAgainAndLogsIntoThePane) {
    auto form = MakeForm();
    ConnectLink(*form);
    form->Link()->ReaderFound = 1;
    WriteIni("[Option]\nTCPServAddr=127.0.0.3\nTCPServPort=9100\n");
    QFile::remove(WorkFolder::ChipUpdaterPath(form->WorkDir()));

    form->RebuildLinkController();
    TFlashWrRXCont& link = *form->Link();
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_EQ(link.ReaderFound, 0);
    EXPECT_EQ(link.TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(link.TCPIPPara.TCPServPort, 9100);
    EXPECT_EQ(link.RomImageLoaded, 1);
    EXPECT_TRUE(QFile::exists(WorkFolder::ChipUpdaterPath(form->WorkDir())));
    form->MnClearClick();
    form->Device().Call(
        [](DeviceSession& s) { s.Link().AddLog(QStringLiteral("from the new link"), 1); });
    EXPECT_EQ(MemoLines(*form), QStringList{QStringLiteral("from the new link")});
}

TEST_F(MainWindowTest, LogPaneKeepsTheThousandLineRule) {
    auto form = MakeForm();
    form->SPTMemo->clear();
    form->MnClearClick();
    for (int i = 1; i <= 1000; ++i)
        form->AddLog(QStringLiteral("line %1").arg(i), 1);
    EXPECT_EQ(form->SPTMemo->document()->blockCount(), 1000);

    // A debug line with debug display off touches nothing, not even a full pane.
    form->AddLog(QStringLiteral("debug"), 0);
    EXPECT_EQ(form->SPTMemo->document()->blockCount(), 1000);
    EXPECT_EQ(MemoLines(*form).last(), QStringLiteral("line 1000"));

    // The link controller writes into the same pane under the same rule.
    form->Device().Call([](DeviceSession& s) { s.Link().AddLog(QStringLiteral("line 1001"), 1); });
    EXPECT_EQ(MemoLines(*form), QStringList{QStringLiteral("line 1001")});

    form->Settings().fDispDebugInfo = 1;
    form->AddLog(QStringLiteral("debug shown"), 0);
    EXPECT_EQ(MemoLines(*form).last(), QStringLiteral("debug shown"));

    // An empty line logged into an empty pane is a line of its own.
    form->MnClearClick();
    form->AddLog(QString(), 1);
    form->AddLog(QStringLiteral("after the gap"), 1);
    EXPECT_EQ(MemoLines(*form), (QStringList{QString(), QStringLiteral("after the gap")}));
    EXPECT_EQ(form->MemoSink().LineCount(), 2);
}

TEST_F(MainWindowTest, SavedLogHoldsThePaneAndAFailedSaveSaysWhy) {
    auto form = MakeForm();
    form->MnClearClick();
    form->AddLog(QStringLiteral("書込設定   : OK"), 1);
    form->AddLog(QString(), 1);
    form->AddLog(QStringLiteral("アップデートが正常に終了しました。"), 1);
    const QString path = dir.path() + QStringLiteral("/run.log");
    QString error;
    ASSERT_TRUE(form->SaveLog(path, &error)) << error.toStdString();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(),
              QStringLiteral("書込設定   : OK\n\nアップデートが正常に終了しました。\n").toUtf8());

    // A folder that cannot exist: its parent is the file just written.
    EXPECT_FALSE(form->SaveLog(path + QStringLiteral("/inside.log"), &error));
    EXPECT_TRUE(error.startsWith(path + QStringLiteral("/inside.log: "))) << error.toStdString();
    EXPECT_EQ(form->MnSaveLog->shortcut(), QKeySequence(QKeySequence::Save));
}

TEST_F(MainWindowTest, OnlyTheFirstOfSeveralDroppedFilesIsTakenAndTheLinkIsLeftAlone) {
    auto form = MakeForm();
    ConnectLink(*form);
    form->MnClearClick();
    const QString first = dir.path() + QStringLiteral("/first.txt");
    const QString second = dir.path() + QStringLiteral("/second.mot");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    ASSERT_TRUE(WaitUntilIdle(*form));

    EXPECT_EQ(form->DropFileName(), first);
    // A ".txt" file is no firmware image.
    EXPECT_EQ(MemoLines(*form), QStringList{QStringLiteral("NG: Read ROM Data")});
    EXPECT_EQ(form->Link()->IsConnected(), 1);
    EXPECT_EQ(env.connects.size(), 1u);
    EXPECT_TRUE(env.sent.empty());

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(form.get(), &textEnter);
    EXPECT_FALSE(textEnter.isAccepted());

    form->DropFiles({});
    EXPECT_TRUE(form->DropFileName().isEmpty());
    EXPECT_EQ(MemoLines(*form).size(), 1);
}

TEST_F(MainWindowTest, FileDroppedOnTheLogPaneIsLoadedAndNotInserted) {
    auto form = MakeForm();
    form->MnClearClick();
    const QString file = WriteFirmwareFile();
    ASSERT_TRUE(Drop(form->SPTMemo->viewport(), file));
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->DropFileName(), file);
    EXPECT_EQ(MemoLines(*form).last(), QStringLiteral("OK: Read ROM Data"));
    EXPECT_FALSE(form->SPTMemo->toPlainText().contains(QStringLiteral("new.mot")));
}

TEST_F(MainWindowTest, CommandsAreRefusedWhileTheConnectionRunsAndComeBackAfterIt) {
    context.connectOnShow = true;
    auto form = MakeForm();
    form->Settings().fDispDebugInfo = 1;
    int requests = 0;
    form->onUpdateRequested = [&] { ++requests; };
    QAction* diagnostic = form->MnCmd->findChild<QAction*>(QStringLiteral("MnBlockErase"));
    ASSERT_NE(diagnostic, nullptr);
    // Triggered while refused; the ones that open a dialog are only looked at, so that a
    // failure cannot leave the test inside a dialog nobody answers.
    const QList<QAction*> triggered = {form->TB_Write, form->N2,    form->MnProgram,
                                       form->Rom1,     form->Boot1, diagnostic};
    const QList<QAction*> refused =
        triggered + QList<QAction*>{form->MnSaveLog, form->MnSetConfig, form->HelpAboutItem};
    const QString file = WriteFirmwareFile();
    // A drag already over the window when the search begins, dropped during it.
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent early(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &early);
    ASSERT_TRUE(early.isAccepted());
    int sentBefore = -1;
    AnswerAsReader([&] {
        for (QAction* action : refused)
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        for (QAction* action : triggered)
            action->trigger();
        EXPECT_FALSE(form->MnFarm->isEnabled());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
        EXPECT_FALSE(Drop(form->SPTMemo->viewport(), file));
        EXPECT_FALSE(Drop(form.get(), file));
        sentBefore = static_cast<int>(env.sent.size());
    });
    bool confirmed = false;
    AnswerNextModal<TSetIPAddr1Dlg>([&](TSetIPAddr1Dlg* d) {
        confirmed = true;
        d->OKBtn->click();
    });
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return confirmed && !form->Busy(); }, 5000));
    ASSERT_EQ(form->Link()->ReaderFound, 1);

    // Nothing of it ran inside the search: no update, no diagnostic frame, no file.
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(sentBefore, 1);
    EXPECT_TRUE(form->DropFileName().isEmpty());
    EXPECT_FALSE(form->SPTMemo->toPlainText().contains(QStringLiteral("Read ROM Data")));
    EXPECT_TRUE(MemoLines(*form).contains(CommandGateText::kDropRefused));
    for (QAction* action : refused)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    form->TB_Write->trigger();
    EXPECT_EQ(requests, 1);

    // Commands that were off before a wait stay off after it.
    form->EnableUpdateCommands(false);
    env.SetResponder([&](const QByteArray&) {
        OnWindowThread([&] { EXPECT_FALSE(form->MnSaveLog->isEnabled()); });
    });
    form->Rom1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_TRUE(form->MnSaveLog->isEnabled());
    EXPECT_FALSE(form->TB_Write->isEnabled());
    EXPECT_FALSE(form->MnFarm->isEnabled());
}

TEST_F(MainWindowTest, ConfirmingTheConnectionDialogWritesTheSettingsFileAtOnce) {
    context.connectOnShow = true;
    auto form = MakeForm();
    tagTCPIPPara onDisk;
    // Read while the search runs: a kill from here on loses nothing the operator entered.
    AnswerAsReader([&] { onDisk = SettingsFile(form->IniFileName()).ReadTcpKeys(); });
    bool confirmed = false;
    AnswerNextModal<TSetIPAddr1Dlg>([&](TSetIPAddr1Dlg* d) {
        confirmed = true;
        d->Ed_CIP4->setValue(50);
        d->Ed_CPortNum->setValue(9100);
        d->OKBtn->click();
    });
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return confirmed && !form->Busy(); }, 5000));
    ASSERT_EQ(form->Link()->ReaderFound, 1);
    EXPECT_EQ(onDisk.TCPServAddr, QStringLiteral("192.168.0.50"));
    EXPECT_EQ(onDisk.TCPServPort, 9100);
}

TEST_F(MainWindowTest, UpdateShortcutsRunTheUpdateHookUntilTheCommandsAreDisabled) {
    auto form = MakeForm();
    int requests = 0;
    form->onUpdateRequested = [&] { ++requests; };
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QTest::keyClick(form.get(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(requests, 1);
    QTest::keyClick(form.get(), Qt::Key_F9);
    EXPECT_EQ(requests, 2);
    form->TB_Write->trigger();
    EXPECT_EQ(requests, 3);

    form->AddLog(QStringLiteral("something"), 1);
    QTest::keyClick(form.get(), Qt::Key_F4);
    EXPECT_TRUE(form->SPTMemo->toPlainText().isEmpty());

    form->EnableUpdateCommands(false);
    QTest::keyClick(form.get(), Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_F9);
    form->TB_Write->trigger();
    EXPECT_EQ(requests, 3);
    EXPECT_FALSE(form->MnFarm->isEnabled());

    form->EnableUpdateCommands(true);
    QTest::keyClick(form.get(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(requests, 4);
}

TEST_F(MainWindowTest, EnvironmentDialogShowsTheSettingsAndConfirmingAppliesThemToTheLink) {
    auto form = MakeForm();
    AnswerNextModal<TConfigDlg>([](TConfigDlg* d) {
        EXPECT_EQ(d->PageControl1->currentIndex(), 0);
        EXPECT_EQ(d->CBSelCPU->currentText(), QStringLiteral("RX231"));
        EXPECT_EQ(d->CBRomSize->currentText(), QStringLiteral("256K"));
        EXPECT_EQ(d->RGProgSpeed->checkedId(), 4);
        EXPECT_DOUBLE_EQ(d->EdFreq->value(), 13.56);
        EXPECT_EQ(d->EdTeibai1->value(), 4);
        EXPECT_EQ(d->EdTeibai2->value(), 2);
        EXPECT_EQ(d->EdSpeed->value(), 115200);
        EXPECT_EQ(d->EdResTime->value(), 1000);
        EXPECT_FALSE(d->CBDispDebugInfo->isChecked());

        d->CBSelCPU->setCurrentIndex(0); // RX630
        d->CBRomSize->setCurrentText(QStringLiteral("1M"));
        d->EdFreq->setValue(12.5);
        d->EdTeibai1->setValue(8);
        d->EdSpeed->setValue(57600);
        d->EdResTime->setValue(5000);
        d->RGProgSpeed->button(1)->click();
        d->CBDispDebugInfo->setChecked(true);
        d->CBDispTxInfo->setChecked(true);
        d->OKBtn->click();
    });
    form->MnSetConfig->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));

    const AppSettings& s = form->Settings();
    EXPECT_EQ(s.option.fCPUType, 6);
    EXPECT_EQ(s.option.fROMSize, 16);
    EXPECT_FLOAT_EQ(s.option.freq, 12.5f);
    EXPECT_EQ(s.option.teibai1, 8);
    EXPECT_EQ(s.option.BPSspeed, 57600);
    EXPECT_EQ(s.option.BpsMode, 1);
    EXPECT_EQ(s.ResWaitTime, 1000);
    EXPECT_EQ(s.fDispDebugInfo, 1);
    EXPECT_EQ(s.fDispTxInfo, 1);
    EXPECT_EQ(s.fDispRecInfo, 0);

    TFlashWrRXCont& link = *form->Link();
    EXPECT_EQ(link.OptionPara.fCPUType, 6);
    EXPECT_EQ(link.OptionPara.BPSspeed, 57600);
    EXPECT_EQ(QByteArray(link.DeviceCode.data(), 4), QByteArray("7505"));
    EXPECT_EQ(link.RomImageBase, 0xFFF00000u);
    EXPECT_EQ(link.fDispDebugInfo, 1);
    EXPECT_EQ(link.fDispTxInfo, 1);
    EXPECT_EQ(link.fDispRecInfo, 0);

    // RX63T, and an unchanged confirmation keeps what is there.
    AnswerNextModal<TConfigDlg>([](TConfigDlg* d) {
        EXPECT_EQ(d->CBSelCPU->currentText(), QStringLiteral("RX630"));
        d->CBSelCPU->setCurrentIndex(1);
        d->OKBtn->click();
    });
    form->MnSetConfig->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->Settings().option.fCPUType, 7);
    EXPECT_EQ(QByteArray(link.DeviceCode.data(), 4), QByteArray("7n05"));
}

TEST_F(MainWindowTest, EnvironmentDialogConfirmedUnchangedKeepsRx231AndCancelChangesNothing) {
    auto form = MakeForm();
    AnswerNextModal<TConfigDlg>([](TConfigDlg* d) { d->OKBtn->click(); });
    form->MnSetConfig->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->Settings().option.fCPUType, 5);
    EXPECT_EQ(form->Link()->OptionPara.fCPUType, 5);
    EXPECT_EQ(QByteArray(form->Link()->DeviceCode.data(), 4), QByteArray("8a02"));

    AnswerNextModal<TConfigDlg>([](TConfigDlg* d) {
        d->CBSelCPU->setCurrentIndex(0);
        d->CBRomSize->setCurrentIndex(7);
        d->EdFreq->setValue(20.0);
        d->CBDispDebugInfo->setChecked(true);
        d->CancelBtn->click();
    });
    form->MnSetConfig->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->Settings().option.fCPUType, 5);
    EXPECT_EQ(form->Settings().option.fROMSize, 11);
    EXPECT_FLOAT_EQ(form->Settings().option.freq, 13.56f);
    EXPECT_EQ(form->Settings().fDispDebugInfo, 0);
    EXPECT_EQ(form->Link()->RomImageBase, 0xFFFC0000u);
    EXPECT_EQ(form->Link()->fDispDebugInfo, 0);
}

TEST_F(MainWindowTest, ConnectionSettingsComeFromTheDialogOnlyWhenConfirmed) {
    auto form = MakeForm();
    tagTCPIPPara params;
    params.TCPServAddr = QStringLiteral("192.168.0.1");
    params.fTCPServer = 1;
    int reWrite = 0;

    AnswerNextModal<TSetIPAddr1Dlg>([](TSetIPAddr1Dlg* d) {
        // The tool always connects as the client, so the mode is fixed on "サーバー".
        EXPECT_TRUE(d->RGIPModeServer->isChecked());
        EXPECT_FALSE(d->RGIPMode->isEnabled());
        d->Ed_CIP4->setValue(50);
        d->OKBtn->click();
    });
    EXPECT_TRUE(form->AskConnectionSettings(params, reWrite));
    EXPECT_EQ(params.TCPServAddr, QStringLiteral("192.168.0.50"));
    EXPECT_EQ(params.fTCPServer, 0);

    AnswerNextModal<TSetIPAddr1Dlg>([](TSetIPAddr1Dlg* d) {
        d->Ed_CIP4->setValue(60);
        d->CancelBtn->click();
    });
    EXPECT_FALSE(form->AskConnectionSettings(params, reWrite));
    EXPECT_EQ(params.TCPServAddr, QStringLiteral("192.168.0.50"));
}

TEST_F(MainWindowTest, WaitWindowAndStatusTextFollowTheLink) {
    auto form = MakeForm();
    form->show();
    form->ShowConnectProgress(QStringLiteral("しばらくお待ちください"),
                              QStringLiteral("------- Check ZMW R/W ----------"));
    auto* wait = form->findChild<TGuage1Dlg*>();
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(wait->windowTitle(), QStringLiteral("しばらくお待ちください"));
    form->HideConnectProgress();
    EXPECT_FALSE(wait->isVisible());

    form->Device().Call(
        [](DeviceSession& s) { s.Link().WaitLinkState(1 - s.Link().IsConnected()); });
    EXPECT_EQ(form->statusBar()->currentMessage(), QStringLiteral("ソケット処理中..."));
}

TEST_F(MainWindowTest, CloseMenuItemClosesTheLinkAndSaysSo) {
    auto form = MakeForm();
    ConnectLink(*form);
    form->MnClearClick();
    form->Clsoe1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->Link()->IsConnected(), 0);
    EXPECT_EQ(MemoLines(*form), QStringList{QStringLiteral("Clse COM Port")});
}

namespace {

// A ROM version reply: 17 bytes with the nine version characters from byte 5 on.
QByteArray RomVersionReply(const char* version) {
    return QByteArray("\x02\x00\x4F\x0B\x30", 5) + QByteArray(version, 9) +
           QByteArray("\x03\x00\x0D", 3);
}

// The program-mode reply: byte 2 is 0x30 when the R/W accepted the switch.
const QByteArray kProgModeAccepted("\x02\x00\x30\x03\x00\x0D", 6);

} // namespace

TEST_F(MainWindowTest, ConfigMenuReadsTheRomVersionAndSwitchesToProgramMode) {
    auto form = MakeForm();
    ConnectLink(*form);
    env.SetResponder([&](const QByteArray& sent) {
        if (sent.size() > 2 && sent[2] == 'O')
            env.Reply(RomVersionReply("1234ABCDE"));
        else if (sent.size() > 2 && sent[2] == 'N')
            env.Reply(kProgModeAccepted);
    });
    form->MnClearClick();
    form->Rom1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    form->Boot1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(MemoLines(*form), (QStringList{QStringLiteral("ROM Version : 1234ABCDE"),
                                             QStringLiteral("SetProgMode :  : OK")}));

    // A silent R/W: no version line at all, and the switch is reported as failed.
    env.SetResponder([](const QByteArray&) {});
    form->MnClearClick();
    form->Rom1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    form->Boot1->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(MemoLines(*form), QStringList{QStringLiteral("SetProgMode :  : NG")});
}

TEST_F(MainWindowTest, CancellingTheConnectionAtStartClosesTheWindowAndEndsTheProgram) {
    context.connectOnShow = true;
    auto form = MakeForm();
    QSignalSpy ended(form.get(), &TRXProgAppForm::ApplicationEndRequested);
    AnswerNextModal<TSetIPAddr1Dlg>([](TSetIPAddr1Dlg* d) {
        d->CancelBtn->click();
        AnswerNextModal<QMessageBox>([](QMessageBox* box) {
            EXPECT_EQ(box->text(), QStringLiteral("R/Wモジュールが見つかりませんでした。"));
            box->button(QMessageBox::Yes)->click();
        });
    });
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }, 5000));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QFile::exists(form->IniFileName()));
    EXPECT_TRUE(env.connects.empty());
}

TEST_F(MainWindowTest, ConnectingAtStartInReWriteModeSendsNothingAndKeepsTheWindow) {
    context.connectOnShow = true;
    context.arguments = {QStringLiteral(" BOOT "), QStringLiteral("--demo")};
    auto form = MakeForm();
    QSignalSpy ended(form.get(), &TRXProgAppForm::ApplicationEndRequested);
    AnswerNextModal<TSetIPAddr1Dlg>([](TSetIPAddr1Dlg* d) { d->OKBtn->click(); });
    form->show();
    const QString reWriteLine =
        QStringLiteral("再書き込みモードで、ファームのアップデートを実行します。");
    ASSERT_TRUE(QTest::qWaitFor([&] { return MemoLines(*form).contains(reWriteLine); }, 5000));
    ASSERT_TRUE(WaitUntilIdle(*form, 5000));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Link()->ReaderFound, 1);
    EXPECT_TRUE(env.connects.empty());
    EXPECT_TRUE(env.sent.empty());
    EXPECT_EQ(form->statusBar()->currentMessage(),
              QStringLiteral("------- Check ZMW R/W ----------"));
}

// After a first update, the connection dialog comes again before the next one: cancelled, it
// ends the program as it does at start.
TEST_F(MainWindowTest, CancellingALaterConnectionEndsTheProgram) {
    auto form = MakeForm();
    WindowUpdate update(*form);
    QSignalSpy ended(form.get(), &TRXProgAppForm::ApplicationEndRequested);
    form->Device().Call([](DeviceSession& s) {
        s.Link().TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
        s.fReconnect = 1; // as after a first update
    });
    AnswerNextModal<TSetIPAddr1Dlg>([](TSetIPAddr1Dlg* d) {
        d->CancelBtn->click();
        AnswerNextModal<QMessageBox>(
            [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    });
    form->show();
    form->TB_Write->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }, 5000));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(env.connects.empty());
}

// "ファームウェアを開く" loads the chosen file as a drop does, and the status bar always says
// which firmware an update would write.
TEST_F(MainWindowTest, OpenedFirmwareShowsInTheStatusBarAndARefusedOneLeavesNone) {
    auto form = MakeForm();
    EXPECT_TRUE(form->STFirmware->text().startsWith(QStringLiteral("ファームウェア: 内蔵 ")))
        << form->STFirmware->text().toStdString();
    const QString file = WriteFirmwareFile();
    AnswerNextModal<QFileDialog>([&](QFileDialog* d) {
        d->selectFile(file);
        QMetaObject::invokeMethod(d, "accept");
    });
    form->MnOpenFirmware->trigger();
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(MemoLines(*form).last(), QStringLiteral("OK: Read ROM Data"));
    const QString crc =
        QString::fromStdString(tessaly::HexDigits(form->Link()->ComputeRomImageCrc(), 4));
    EXPECT_EQ(form->STFirmware->text(),
              QStringLiteral("ファームウェア: new.mot  256バイト  CRC ") + crc);

    QFile damaged(dir.path() + QStringLiteral("/damaged.mot"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("S30900FFFC0000010203FF\r\n");
    damaged.close();
    ASSERT_TRUE(Drop(form.get(), damaged.fileName()));
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->STFirmware->text(), QStringLiteral("ファームウェア: なし"));
}

// Qt's own buttons speak Japanese with the rest of the program.
TEST(QtTranslations, StandardButtonsAreJapanese) {
    ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("キャンセル")))
        << box.button(QMessageBox::Cancel)->text().toStdString();
}
