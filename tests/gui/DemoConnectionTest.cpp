// The window's connection at start against the simulated R/W on loopback, as in demo mode:
// the real dialog, the real sockets and event loop, nothing scripted but the operator's click.
#include "app/TRXProgAppForm.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/NetworkInterfaceAdapters.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "rwsim/RwSimulator.h"
#include "support/FixedAdapters.h"
#include "support/ModalDialogs.h"
#include "support/TestAddresses.h"
#include "support/WindowDevice.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(DemoConnection, WindowFindsTheSimulatedReaderThroughTheDialogAndLogsItsVersions) {
    QApplication::setQuitOnLastWindowClosed(false);
    rwsim::SimConfig config;
    config.address = QHostAddress(TestAddresses::Module());
    config.tcpPort = 0;
    config.udpPort = 0;
    rwsim::RwSimulator simulator(config);
    QString error;
    ASSERT_TRUE(simulator.Start(&error)) << error.toStdString();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    {
        QFile ini(dir.path() + QStringLiteral("/bin/Tessaly.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Option]\nTCPServAddr=%1\nTCPServPort=%2\n"
                                 "BridgeBindAddress=%3\n")
                      .arg(TestAddresses::Module())
                      .arg(simulator.TcpPort())
                      .arg(TestAddresses::Tool())
                      .toUtf8());
    }
    // A PC whose only network besides the loopback one cannot hold the simulator's address.
    const FixedAdapters adapters(
        {{0xC0A8000Au, 0xFFFFFF00u}, NetworkInterfaceAdapters::LoopbackNetwork()});
    StartupContext context;
    context.executablePath = dir.path() + QStringLiteral("/bin/Tessaly");
    context.arguments = {QStringLiteral("--demo")};
    context.environment = &QtLinkEnvironment::Instance();
    context.adapters = &adapters;
    TRXProgAppForm form(context);
    QSignalSpy ended(&form, &TRXProgAppForm::ApplicationEndRequested);

    const int lastOctet = int(QHostAddress(TestAddresses::Module()).toIPv4Address() & 0xFF);
    AnswerNextModal<TSetIPAddr1Dlg>([lastOctet](TSetIPAddr1Dlg* d) {
        EXPECT_EQ(d->SelectedRow(), 2);
        EXPECT_EQ(d->Ed_CIP1->value(), 127);
        EXPECT_EQ(d->Ed_CIP4->value(), lastOctet);
        d->OKBtn->click();
    });
    form.show();
    const auto logged = [&](const QString& line) {
        return form.SPTMemo->toPlainText().split(QLatin1Char('\n')).contains(line);
    };
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return logged(QStringLiteral("CHIP Version : 1.00C0001")); }, 20000))
        << form.SPTMemo->toPlainText().toStdString();
    ASSERT_TRUE(WaitUntilIdle(form));
    EXPECT_TRUE(logged(QStringLiteral("Find ZMW R/W ")));
    EXPECT_TRUE(logged(QStringLiteral("ROM Version : 1.00A0001")));
    EXPECT_EQ(form.Link()->ReaderFound, 1);
    EXPECT_EQ(form.Link()->IsConnected(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(form.isVisible());
}
