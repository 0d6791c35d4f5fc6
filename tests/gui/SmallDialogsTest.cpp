#include "app/TAboutBox.h"
#include "netdlg/TConfErrDlg.h"
#include "app/TConfirm1Dlg.h"
#include "app/TGuage1Dlg.h"
#include "app/VersionInfo.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(ConfErrDlg, ShowsTheTenGuidanceLinesExactly) {
    TConfErrDlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("書き込みエラー時の設定"));
    EXPECT_EQ(d.CBReWrite->text(), QStringLiteral("再書き込みを行う"));
    const QStringList expected = {
        QStringLiteral("制御マイコンへの書き込みに失敗した場合"),
        QStringLiteral("　・上のチェックボックスにチェックをいれる"),
        QStringLiteral("　・R/Wの電源を入れ直す"),
        QStringLiteral("　・再度書き込みを行う"),
        QString(),
        QStringLiteral("内蔵CHIPへの書き込みまたは"),
        QStringLiteral("制御マイコンでのデータ照合に失敗した場合"),
        QStringLiteral("　・上のチェックボックスにチェックをいれない"),
        QStringLiteral("　・R/Wの電源を入れ直す"),
        QStringLiteral("　・再度書き込みを行う"),
    };
    EXPECT_EQ(d.Memo1->toPlainText().split(QLatin1Char('\n')), expected);
    d.OKBtn->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(AboutBox, VersionCaptionCarriesTheProductVersion) {
    TAboutBox d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(d.Version->text(), QStringLiteral("KV5Update   Version 1.1.0.0"));
    EXPECT_EQ(d.ProductName->text(), QStringLiteral("KV5ファームウェアアップデートツール"));
    EXPECT_TRUE(d.Comments->isHidden());
}

#ifdef Q_OS_WIN
TEST(VersionResource, TextsComeFromTheProgramsOwnResource) {
    // "tessaly.exe" is the resource's own entry: the record built into the program elsewhere
    // says "tessaly", so this passes only when the texts are read through the version API.
    EXPECT_EQ(GetVersionInfoText(VersionInfo::OriginalFilename), QStringLiteral("tessaly.exe"));
    EXPECT_EQ(GetVersionInfoText(VersionInfo::FileVersion), QStringLiteral("1.1.0.0"));
    EXPECT_EQ(GetVersionInfoText(VersionInfo::ProductVersion), QStringLiteral("1.1.0.0"));
    EXPECT_EQ(GetVersionInfoText(42), QStringLiteral("1.1.0.0"));
    EXPECT_EQ(GetVersionInfoText(VersionInfo::ProductName),
              QStringLiteral("KV5ファームウェアアップデートツール"));
    EXPECT_EQ(GetVersionInfoText(VersionInfo::FileDescription),
              QStringLiteral("ZMW ファームウェアアップデート"));
    EXPECT_EQ(GetVersionInfoText(VersionInfo::CompanyName), QStringLiteral("OSKORA"));
}
#endif

TEST(Confirm1Dlg, ShowingFlagFollowsShowConfirmAndClose) {
    TConfirm1Dlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("マイコンへの書き込み"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("OK"));
    EXPECT_EQ(d.OKBtn->text(), QStringLiteral("確認"));
    EXPECT_EQ(d.Showing(), 1);
    d.OKBtn->click();
    EXPECT_EQ(d.Showing(), 0);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.Showing(), 1);
    d.close();
    EXPECT_EQ(d.Showing(), 0);
    EXPECT_TRUE(d.isHidden());
}

TEST(Guage1Dlg, PreparedForTheConnectionItShowsOnlyTheWaitText) {
    TGuage1Dlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("変換実行中"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    d.PrepareForConnect(QStringLiteral("しばらくお待ちください"),
                        QStringLiteral("------- Check ZMW R/W ----------"));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("しばらくお待ちください"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("------- Check ZMW R/W ----------"));
    EXPECT_FALSE(d.Button1->isVisible());
    EXPECT_FALSE(d.Panel2->isVisible());
    EXPECT_EQ(d.Running(), 1);
    d.Button1Click();
    EXPECT_EQ(d.Running(), 0);
}
