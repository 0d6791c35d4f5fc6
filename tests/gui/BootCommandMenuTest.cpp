#include "app/CommandMenu.h"
#include "support/BootLinkFixture.h"

#include <QAction>
#include <QMenu>

namespace {
QStringList Captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out.append(a->text());
    return out;
}
QAction* Item(const QMenu& menu, const char* name) {
    return menu.findChild<QAction*>(QString::fromLatin1(name));
}
} // namespace

TEST(BootCommandMenu, CaptionsInOrder) {
    QMenu mnCmd;
    PopulateCommandMenu(&mnCmd, [](BootDiagHandler) {});
    EXPECT_EQ(mnCmd.title(), QStringLiteral("コマンド"));
    EXPECT_EQ(Captions(&mnCmd),
              (QStringList{"ビットレート合わせ込み", "問い合わせコマンド", "ID コードチェック",
                           "プログラム / イレーズホストコマンド", "ステータスリード",
                           "バージョン情報", "全イレーズ", "ステータスクリア", "ＩＤチェック",
                           "プログラムモードへ移行", "リスタート", "CRC計算", "コマンドチェック"}));
    const QMenu* n4 = mnCmd.findChild<QMenu*>(QStringLiteral("N4"));
    const QMenu* n18 = mnCmd.findChild<QMenu*>(QStringLiteral("N18"));
    ASSERT_TRUE(n4 && n18);
    EXPECT_EQ(Captions(n4).size(), 15);
    EXPECT_EQ(Captions(n4).first(), QStringLiteral("サポートデバイス"));
    EXPECT_EQ(Captions(n4).last(), QStringLiteral("ブートプログラムステータス問い合わせ"));
    EXPECT_EQ(Captions(n18).size(), 15);
    EXPECT_EQ(Captions(n18)[2], QStringLiteral("256バイト書き込み"));
    EXPECT_EQ(Captions(n18).last(), QStringLiteral("ロックビット無効"));
}

class BootCommandMenuItems : public BootLinkTest {};

TEST_F(BootCommandMenuItems, ItemsSendTheirCommandToTheDevice) {
    QMenu mnCmd;
    int handed = 0;
    PopulateCommandMenu(&mnCmd, [&](BootDiagHandler handler) {
        ++handed;
        BootDiagnostics diag(link, {});
        (diag.*handler)();
    });
    AnswerEveryFrame(Bytes({0x06}));

    Item(mnCmd, "MnBlockErase")->trigger();
    Item(mnCmd, "MnIDCheck")->trigger();
    Item(mnCmd, "MnCRC1")->trigger(); // inert
    EXPECT_EQ(handed, 2);
    ASSERT_EQ(env.sent.size(), 2u);
    EXPECT_EQ(env.sent[0], Bytes({0x58, 0x01, 0xFF, 0xA8}));
    EXPECT_EQ(static_cast<std::uint8_t>(env.sent[1][0]), 0x60);
    EXPECT_TRUE(log.Contains(QStringLiteral("OK: ブロック消去")));
}
