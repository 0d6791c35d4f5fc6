// The update in the window, offscreen, against the simulator in this process: one success and
// one failure through the real main window, connection dialog and result window.

#include "app/StartupContext.h"
#include "app/TConfirm1Dlg.h"
#include "app/TRXProgAppForm.h"
#include "app/WindowUpdate.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/AdapterSource.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "rwsim/RwSimulator.h"
#include "support/RunRecordFiles.h"
#include "support/TestAddresses.h"
#include "support/WindowDevice.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class NoAdapters final : public AdapterSource {
public:
    QList<Ipv4Adapter> Adapters() const override { return {}; }
};

// What the result window showed when "確認" became available.
struct ResultSeen {
    QString label1;
    QString label2;
    QColor colour;
    int pointSize = 0;
    bool visible = false;
};

// Plays the operator: confirms the connection dialog as it stands, and presses "確認" once the
// result window offers it, noting what the window showed (and saving screenshots of it and the
// main window when TESSALY_SCREENSHOT_DIR is set).
class Operator {
public:
    explicit Operator(TRXProgAppForm& form, QString shotName) : form_(form), shot_(shotName) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
        timer_.start();
    }
    ResultSeen seen;
    int results = 0;

private:
    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<TSetIPAddr1Dlg*>(modal)) {
            dialog->OKBtn->click();
        } else if (auto* result = qobject_cast<TConfirm1Dlg*>(modal)) {
            if (!result->OKBtn->isEnabled())
                return;
            seen = {result->Label1->text(), result->Label2->text(),
                    result->Label1->palette().color(QPalette::WindowText),
                    result->Label1->font().pointSize(), result->isVisible()};
            ++results;
            Screenshot(result);
            result->OKBtn->click();
        }
    }
    void Screenshot(QWidget* result) {
        const QString dir = qEnvironmentVariable("TESSALY_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        const QString prefix = dir + QStringLiteral("/update-") + shot_;
        form_.grab().save(prefix + QStringLiteral("-window.png"));
        result->grab().save(prefix + QStringLiteral("-result.png"));
        // The whole screen, both windows as the operator sees them (under a virtual display;
        // the offscreen platform has no screen contents).
        if (QScreen* screen = QGuiApplication::primaryScreen())
            screen->grabWindow(0).save(prefix + QStringLiteral("-screen.png"));
    }

    TRXProgAppForm& form_;
    QString shot_;
    QTimer timer_;
};

class WindowRig {
public:
    explicit WindowRig(rwsim::SimConfig config) {
        config.address = QHostAddress(TestAddresses::Module());
        config.udpPort = TestAddresses::ModuleBridgePort();
        config.tcpPort = 0;
        sim = std::make_unique<rwsim::RwSimulator>(config);
        QString error;
        started = sim->Start(&error);
        EXPECT_TRUE(started) << error.toStdString();

        // The settings file beside the program holds the simulator's address.
        const QString program = dir.filePath(QStringLiteral("tessaly"));
        QFile ini(dir.filePath(QStringLiteral("tessaly.ini")));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Option]\nTCPServAddr=%1\nTCPServPort=%2\n"
                                 "BridgeBindAddress=%3\n")
                      .arg(TestAddresses::Module())
                      .arg(sim->TcpPort())
                      .arg(TestAddresses::Tool())
                      .toUtf8());
        ini.close();

        StartupContext context;
        context.executablePath = program;
        context.environment = &QtLinkEnvironment::Instance();
        context.adapters = &adapters;
        context.connectOnShow = false;
        form = std::make_unique<TRXProgAppForm>(context);
        update = std::make_unique<WindowUpdate>(*form);
        form->show();
    }

    QString RecordsFolder() const { return form->WorkDir() + QStringLiteral("/records"); }

    // The connection procedure as the window runs it at start; the operator confirms.
    int Connect() {
        int found = 0;
        EXPECT_TRUE(
            RunOnWindowDevice(*form, [&](TFlashWrRXCont& link) { found = link.ConnectReader(); }));
        return found;
    }
    // The update command, and the operator until the result window has been confirmed.
    void Update() {
        form->TB_Write->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !update->Running(); }, 60000));
    }

    QTemporaryDir dir;
    NoAdapters adapters;
    std::unique_ptr<rwsim::RwSimulator> sim;
    bool started = false;
    std::unique_ptr<TRXProgAppForm> form;
    std::unique_ptr<WindowUpdate> update;
};

} // namespace

TEST(UpdateWindow, SuccessShowsOkUntilConfirmedAndKeepsTheCommands) {
    WindowRig rig({});
    ASSERT_TRUE(rig.started);
    Operator person(*rig.form, QStringLiteral("ok"));
    ASSERT_EQ(rig.Connect(), 1);
    ASSERT_EQ(rig.form->Link()->ReaderFound, 1);

    rig.Update();

    EXPECT_EQ(person.results, 1);
    EXPECT_EQ(person.seen.label1, QStringLiteral("OK"));
    EXPECT_EQ(person.seen.label2, QStringLiteral("アップデートが正常に終了しました"));
    EXPECT_EQ(person.seen.colour, QColor(Qt::blue));
    EXPECT_EQ(person.seen.pointSize, 72);
    EXPECT_TRUE(person.seen.visible);
    EXPECT_EQ(rig.update->ResultWindow(), nullptr);
    EXPECT_TRUE(rig.form->isEnabled());
    EXPECT_TRUE(rig.form->TB_Write->isEnabled());
    EXPECT_TRUE(rig.form->MnFarm->isEnabled());
    const QString memo = rig.form->SPTMemo->toPlainText();
    EXPECT_TRUE(memo.contains(QStringLiteral("書き込み   : OK")));
    EXPECT_TRUE(memo.contains(QStringLiteral("アップデートが正常に終了しました。")));
    // A fresh controller (the old one had found the R/W and kept its link open; a new one
    // may well sit at the same address), and it logs into the visible pane.
    EXPECT_EQ(rig.form->Link()->ReaderFound, 0);
    EXPECT_EQ(rig.form->Link()->IsConnected(), 0);
    const int lines = rig.form->SPTMemo->blockCount();
    rig.form->Device().Call(
        [](DeviceSession& s) { s.Link().AddLog(QStringLiteral("after the rebuild"), 1); });
    EXPECT_EQ(rig.form->SPTMemo->blockCount(), lines + 1);
    const RunRecordFiles run = ReadTheOnlyRun(rig.RecordsFolder());
    EXPECT_EQ(run.record.value(QStringLiteral("exitCode")).toInt(-1), 0);
    EXPECT_TRUE(run.lines.contains(QStringLiteral("書き込み   : OK")));
}

TEST(UpdateWindow, FailureShowsNgAndDisablesTheCommands) {
    rwsim::SimConfig config;
    config.faults.refusePage = 2;
    WindowRig rig(config);
    ASSERT_TRUE(rig.started);
    Operator person(*rig.form, QStringLiteral("ng"));
    ASSERT_EQ(rig.Connect(), 1);

    rig.Update();

    EXPECT_EQ(person.results, 1);
    EXPECT_EQ(person.seen.label1, QStringLiteral("NG"));
    EXPECT_EQ(person.seen.label2, QStringLiteral("アップデートに失敗しました"));
    EXPECT_EQ(person.seen.colour, QColor(Qt::red));
    EXPECT_EQ(rig.form->ErrStage, 3);
    EXPECT_TRUE(rig.form->isEnabled());
    EXPECT_FALSE(rig.form->TB_Write->isEnabled());
    EXPECT_FALSE(rig.form->MnFarm->isEnabled());
    EXPECT_TRUE(rig.form->SPTMemo->toPlainText().contains(
        QStringLiteral("再度ソフトを起動し、［再書込み行う］にチェックを入れてもう一度書き込みを行"
                       "ってください。")));
    // The window's record carries the exit code tessaly-cli update would have given.
    const QJsonObject record = ReadTheOnlyRun(rig.RecordsFolder()).record;
    EXPECT_EQ(record.value(QStringLiteral("exitCode")).toInt(), 15);
    EXPECT_EQ(record.value(QStringLiteral("failedStep")).toString(), QStringLiteral("write"));
}
