#include "netdlg/TConfErrDlg.h"
#include "netdlg/AdapterMatch.h"
#include "netdlg/NetworkInterfaceAdapters.h"
#include "netdlg/NetworkSettingsTool.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "support/FixedAdapters.h"
#include "support/ModalDialogs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

Ipv4Adapter Adapter(const char* address, const char* mask) {
    return {*AdapterMatch::ParseAddress(QString::fromLatin1(address)),
            *AdapterMatch::ParseAddress(QString::fromLatin1(mask))};
}

tagTCPIPPara Params(const char* address, int mode = 0, int serverPort = 9004,
                    int clientPort = 9004) {
    tagTCPIPPara p;
    p.TCPServAddr = QString::fromLatin1(address);
    p.fTCPServer = mode;
    p.TCPPort = serverPort;
    p.TCPServPort = clientPort;
    return p;
}

struct Shown {
    std::array<int, 4> bytes;
    std::array<bool, 4> enabled;
};

Shown ShownAddress(const TSetIPAddr1Dlg& d) {
    const std::array<QSpinBox*, 4> edits = {d.Ed_CIP1, d.Ed_CIP2, d.Ed_CIP3, d.Ed_CIP4};
    Shown s{};
    for (std::size_t i = 0; i < 4; ++i) {
        s.bytes[i] = edits[i]->value();
        s.enabled[i] = edits[i]->isEnabled();
    }
    return s;
}

bool RowIsAqua(const TSetIPAddr1Dlg& d, int gridRow) {
    const QColor aqua(0, 255, 255);
    return d.StringGrid1->item(gridRow - 1, 0)->background().color() == aqua &&
           d.StringGrid1->item(gridRow - 1, 1)->background().color() == aqua;
}

void ClickRow(TSetIPAddr1Dlg& d, int gridRow) {
    QTableWidgetItem* cell = d.StringGrid1->item(gridRow - 1, 0);
    QTest::mouseClick(d.StringGrid1->viewport(), Qt::LeftButton, {},
                      d.StringGrid1->visualItemRect(cell).center());
}

const Ipv4Adapter kHomeLan = Adapter("192.168.0.10", "255.255.255.0");

} // namespace

TEST(ConnectionDialogAdapters, StoredAddressInsideAnAdapterSubnetIsKeptWithHostByteEditable) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan}), Params("192.168.0.1"), reWrite);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("TCP/IPの設定"));
    EXPECT_EQ(d.SelectedRow(), 1);
    EXPECT_TRUE(RowIsAqua(d, 1));
    EXPECT_FALSE(RowIsAqua(d, 2));
    EXPECT_EQ(d.StringGrid1->item(0, 0)->text(), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(d.StringGrid1->item(0, 1)->text(), QStringLiteral("255.255.255.0"));
    const Shown s = ShownAddress(d);
    EXPECT_EQ(s.bytes, (std::array<int, 4>{192, 168, 0, 1}));
    EXPECT_EQ(s.enabled, (std::array<bool, 4>{false, false, false, true}));
}

TEST(ConnectionDialogAdapters, AddressOutsideEverySubnetOffersTheFirstAdaptersOwnAddress) {
    int reWrite = 0;
    for (const char* stored : {"10.16.77.170", "", "not an address"}) {
        SCOPED_TRACE(stored);
        TSetIPAddr1Dlg d(FixedAdapters({kHomeLan, Adapter("172.16.5.4", "255.255.0.0")}),
                         Params(stored), reWrite);
        EXPECT_EQ(d.SelectedRow(), 1);
        EXPECT_TRUE(RowIsAqua(d, 1));
        const Shown s = ShownAddress(d);
        EXPECT_EQ(s.bytes, (std::array<int, 4>{192, 168, 0, 10}));
        EXPECT_EQ(s.enabled, (std::array<bool, 4>{false, false, false, true}));
        d.OKBtnClick();
        EXPECT_EQ(d.Result().TCPServAddr, QStringLiteral("192.168.0.10"));
    }
}

TEST(ConnectionDialogAdapters, MaskDecidesWhichBytesAreComparedAndLocked) {
    int reWrite = 0;
    {
        // 255.255.0.0: the third byte differs but is not compared, and stays editable.
        TSetIPAddr1Dlg d(FixedAdapters({kHomeLan, Adapter("172.16.5.4", "255.255.0.0")}),
                         Params("172.16.9.9"), reWrite);
        EXPECT_EQ(d.SelectedRow(), 2);
        const Shown s = ShownAddress(d);
        EXPECT_EQ(s.bytes, (std::array<int, 4>{172, 16, 9, 9}));
        EXPECT_EQ(s.enabled, (std::array<bool, 4>{false, false, true, true}));
    }
    {
        // A zero mask never matches, even with the very same address.
        TSetIPAddr1Dlg d(FixedAdapters({Adapter("192.168.0.1", "0.0.0.0"), kHomeLan}),
                         Params("10.0.0.1"), reWrite);
        EXPECT_EQ(d.SelectedRow(), 1);
        EXPECT_EQ(ShownAddress(d).bytes, (std::array<int, 4>{192, 168, 0, 1}));
        EXPECT_EQ(ShownAddress(d).enabled, (std::array<bool, 4>{true, true, true, true}));
        TSetIPAddr1Dlg e(FixedAdapters({Adapter("10.0.0.9", "0.0.0.0"), kHomeLan}),
                         Params("10.0.0.1"), reWrite);
        EXPECT_EQ(ShownAddress(e).bytes, (std::array<int, 4>{10, 0, 0, 9}));
    }
    {
        // The fourth byte is never compared, even under a full mask.
        TSetIPAddr1Dlg d(FixedAdapters({Adapter("10.1.2.3", "255.255.255.255")}),
                         Params("10.1.2.200"), reWrite);
        EXPECT_EQ(ShownAddress(d).bytes, (std::array<int, 4>{10, 1, 2, 200}));
        EXPECT_EQ(ShownAddress(d).enabled, (std::array<bool, 4>{false, false, false, false}));
    }
}

TEST(ConnectionDialogAdapters, OfSeveralMatchingAdaptersTheLastOneIsSelected) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({Adapter("10.0.0.5", "255.0.0.0"), kHomeLan,
                                    Adapter("192.168.0.20", "255.255.0.0")}),
                     Params("192.168.0.1"), reWrite);
    EXPECT_EQ(d.SelectedRow(), 3);
    EXPECT_TRUE(RowIsAqua(d, 3));
    EXPECT_FALSE(RowIsAqua(d, 2));
    EXPECT_EQ(ShownAddress(d).enabled, (std::array<bool, 4>{false, false, true, true}));
}

TEST(ConnectionDialogAdapters, FifthAdapterIsListedWithoutAVisibleRow) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(
        FixedAdapters({Adapter("10.0.0.1", "255.255.255.0"), Adapter("10.0.1.1", "255.255.255.0"),
                       Adapter("10.0.2.1", "255.255.255.0"), Adapter("10.0.3.1", "255.255.255.0"),
                       Adapter("10.0.4.1", "255.255.255.0")}),
        Params("10.0.4.77"), reWrite);
    EXPECT_EQ(d.AdapterList().size(), 5);
    EXPECT_EQ(d.StringGrid1->rowCount(), TSetIPAddr1Dlg::kVisibleAdapterRows);
    EXPECT_EQ(d.SelectedRow(), 5);
    for (int row = 1; row <= 4; ++row)
        EXPECT_FALSE(RowIsAqua(d, row)) << row;
    EXPECT_EQ(ShownAddress(d).bytes, (std::array<int, 4>{10, 0, 4, 77}));
}

TEST(ConnectionDialogAdapters, NoAdapterButLocalhostLeavesTheStoredAddressEditable) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({}), Params("10.16.77.170"), reWrite);
    EXPECT_EQ(d.SelectedRow(), 0);
    const Shown s = ShownAddress(d);
    EXPECT_EQ(s.bytes, (std::array<int, 4>{10, 16, 77, 170}));
    EXPECT_EQ(s.enabled, (std::array<bool, 4>{true, true, true, true}));
    d.Ed_CIP4->setValue(171);
    d.OKBtnClick();
    EXPECT_EQ(d.Result().TCPServAddr, QStringLiteral("10.16.77.171"));
}

TEST(ConnectionDialogGrid, ClickingAnAdapterRowTakesItsAddressAndClickingAnEmptyRowDoesNothing) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan, Adapter("172.16.5.4", "255.255.0.0")}),
                     Params("192.168.0.1"), reWrite);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.Ed_CIP4->setValue(33);

    ClickRow(d, 3); // empty
    EXPECT_EQ(d.SelectedRow(), 1);
    EXPECT_EQ(ShownAddress(d).bytes, (std::array<int, 4>{192, 168, 0, 33}));
    EXPECT_TRUE(RowIsAqua(d, 1));

    ClickRow(d, 2);
    EXPECT_EQ(d.SelectedRow(), 2);
    EXPECT_TRUE(RowIsAqua(d, 2));
    EXPECT_FALSE(RowIsAqua(d, 1));
    const Shown s = ShownAddress(d);
    EXPECT_EQ(s.bytes, (std::array<int, 4>{172, 16, 5, 4}));
    EXPECT_EQ(s.enabled, (std::array<bool, 4>{false, false, true, true}));
}

TEST(ConnectionDialogConfirm, OkBuildsTheParametersFromTheEdits) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan}), Params("192.168.0.1", 0, 9004, 9004), reWrite);
    d.Ed_CIP4->setValue(77);
    d.Ed_CPortNum->setValue(10777);
    d.SetModeIndex(1);
    d.Ed_SPortNum->setValue(64000);
    d.Ed_SPortNum->setValue(64001); // the edit holds no more than 64000
    d.OKBtn->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Result().TCPServAddr, QStringLiteral("192.168.0.77"));
    EXPECT_EQ(d.Result().TCPServPort, 10777);
    EXPECT_EQ(d.Result().TCPPort, 64000);
    EXPECT_EQ(d.Result().fTCPServer, 1);
}

TEST(ConnectionDialogConfirm, CancelLeavesTheResultAsCreatedAndOutOfRangePortsAreClamped) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan}), Params("192.168.0.1", 0, 70000, -5), reWrite);
    EXPECT_EQ(d.Ed_SPortNum->value(), 64000);
    EXPECT_EQ(d.Ed_CPortNum->value(), 0);
    d.Ed_CIP4->setValue(99);
    d.CancelBtn->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.Result().TCPServAddr, QStringLiteral("192.168.0.1"));
    EXPECT_EQ(d.Result().TCPPort, 70000);
}

TEST(ConnectionDialogMode, ServerModeEditsTheClientPortAndClientModeTheServerPort) {
    int reWrite = 0;
    TSetIPAddr1Dlg server(FixedAdapters({kHomeLan}), Params("192.168.0.1", 0), reWrite);
    EXPECT_TRUE(server.RGIPModeServer->isChecked());
    EXPECT_TRUE(server.Ed_CPortNum->isEnabled());
    EXPECT_FALSE(server.Ed_SPortNum->isEnabled());
    TSetIPAddr1Dlg client(FixedAdapters({kHomeLan}), Params("192.168.0.1", 1), reWrite);
    EXPECT_TRUE(client.RGIPModeClient->isChecked());
    EXPECT_FALSE(client.Ed_CPortNum->isEnabled());
    EXPECT_TRUE(client.Ed_SPortNum->isEnabled());
    client.RGIPModeServer->click();
    EXPECT_EQ(client.ModeIndex(), 0);
    EXPECT_TRUE(client.Ed_CPortNum->isEnabled());
    EXPECT_FALSE(client.Ed_SPortNum->isEnabled());
}

TEST(ConnectionDialogReWrite, SettingIsStoredAtOnceAndNamedInTheCaption) {
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan}), Params("192.168.0.1"), reWrite);

    AnswerNextModal<TConfErrDlg>([](TConfErrDlg* e) {
        EXPECT_FALSE(e->CBReWrite->isChecked());
        e->CBReWrite->setChecked(true);
        e->OKBtn->click();
    });
    d.MnBtErr->click();
    EXPECT_EQ(reWrite, 1);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定（再書込みモード）"));

    AnswerNextModal<TConfErrDlg>([](TConfErrDlg* e) {
        EXPECT_TRUE(e->CBReWrite->isChecked());
        e->CBReWrite->setChecked(false);
        e->CancelBtn->click();
    });
    d.MnBtErr->click();
    EXPECT_EQ(reWrite, 1);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定（再書込みモード）"));

    AnswerNextModal<TConfErrDlg>([](TConfErrDlg* e) {
        e->CBReWrite->setChecked(false);
        e->OKBtn->click();
    });
    d.MnBtErr->click();
    EXPECT_EQ(reWrite, 0);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定"));

    // Cancelling the connection dialog does not take the re-write setting back.
    AnswerNextModal<TConfErrDlg>([](TConfErrDlg* e) {
        e->CBReWrite->setChecked(true);
        e->OKBtn->click();
    });
    d.MnBtErr->click();
    d.CancelBtn->click();
    EXPECT_EQ(reWrite, 1);
}

TEST(ConnectionDialogAdapterSource, RealInterfacesLeaveOutLocalhostAndDemoModeOffersLoopback) {
    const QList<Ipv4Adapter> plain = NetworkInterfaceAdapters(false).Adapters();
    const std::uint32_t localhost = *AdapterMatch::ParseAddress(QStringLiteral("127.0.0.1"));
    for (const Ipv4Adapter& a : plain)
        EXPECT_NE(a.address, localhost);

    const QList<Ipv4Adapter> demo = NetworkInterfaceAdapters(true).Adapters();
    ASSERT_EQ(demo.size(), plain.size() + 1);
    EXPECT_EQ(demo.last(), Adapter("127.0.0.1", "255.0.0.0"));

    // The simulator's address then lies in the loopback row, with only the first byte locked.
    int reWrite = 0;
    TSetIPAddr1Dlg d(FixedAdapters({kHomeLan, NetworkInterfaceAdapters::LoopbackNetwork()}),
                     Params("127.0.0.5"), reWrite);
    EXPECT_EQ(d.SelectedRow(), 2);
    EXPECT_EQ(ShownAddress(d).bytes, (std::array<int, 4>{127, 0, 0, 5}));
    EXPECT_EQ(ShownAddress(d).enabled, (std::array<bool, 4>{false, true, true, true}));
}

TEST(ConnectionDialogNetworkTool, FirstInstalledToolIsChosenAndNoneIsReportedAsNone) {
    EXPECT_FALSE(NetworkSettingsTool::Find([](const QString&) { return QString(); }));

    const auto tool = NetworkSettingsTool::Find([](const QString& name) {
        return name == QStringLiteral("gnome-control-center") ||
                       name == QStringLiteral("cinnamon-settings")
                   ? QStringLiteral("/usr/bin/") + name
                   : QString();
    });
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->program, QStringLiteral("/usr/bin/gnome-control-center"));
    EXPECT_EQ(tool->arguments, QStringList{QStringLiteral("network")});
}
