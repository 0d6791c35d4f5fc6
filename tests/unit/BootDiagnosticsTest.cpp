#include "boot/BootDiagnostics.h"
#include "support/BootLinkFixture.h"

#include <set>

class BootDiagnosticsTest : public BootLinkTest {
protected:
    // Runs `handler` against a peer that answers with `reply` and returns the lines it wrote.
    QStringList Run(int (BootDiagnostics::*handler)(), const QByteArray& reply) {
        AnswerEveryFrame(reply);
        log.lines.clear();
        BootDiagnostics diag(link, settings);
        lastResult = (diag.*handler)();
        return log.lines;
    }
    BootDiagSettings settings;
    int lastResult = -1;
};

TEST_F(BootDiagnosticsTest, DeviceListOneAndTwoDevices) {
    const QStringList one =
        Run(&BootDiagnostics::MnSupportDeviceClick,
            InquiryReply(0x30, Bytes({1, 9, '8', 'a', '0', '2', 'R', 'X', '2', '3', '1'})));
    EXPECT_EQ(one, (QStringList{"OK: サポートデバイス問い合わせ ", "デバイス数: 1", "文字数: 9",
                                "デバイスコード: 8a02", "品名: RX231"}));
    const QStringList two =
        Run(&BootDiagnostics::MnSupportDeviceClick,
            InquiryReply(0x30, Bytes({2, 4, '7', 'n', '0', '5', 6, '7', '5', '0', '5', 'A', 'B'})));
    EXPECT_EQ(two.size(), 8);
    EXPECT_EQ(two[4], QStringLiteral("品名: "));
    EXPECT_EQ(two[7], QStringLiteral("品名: AB"));
}

TEST_F(BootDiagnosticsTest, RatioAndFrequencyLists) {
    EXPECT_EQ(
        Run(&BootDiagnostics::MnTeibaiInfoClick, InquiryReply(0x32, Bytes({2, 2, 1, 2, 1, 4}))),
        (QStringList{"OK: 逓倍比問い合わせ", "クロック数: 2", "逓倍比種類: 2", "逓倍比: 1",
                     "逓倍比: 2", "逓倍比種類: 1", "逓倍比: 4"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnGetClockInfoClick,
                  InquiryReply(0x33, Bytes({1, 0x00, 0x32, 0x0C, 0x80}))),
              (QStringList{"OK: 動作周波数問い合わせ", "クロック数: 1", "最小周波数: .50MHz",
                           "最大周波数: 32.00MHz"}));
}

TEST_F(BootDiagnosticsTest, AreaListsAndTheEraseBlockItemSendsTheUserAreaInquiry) {
    const QByteArray area =
        InquiryReply(0x35, Bytes({1, 0xFF, 0xFC, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(
        Run(&BootDiagnostics::MnEraseBlockInfoClick, area),
        (QStringList{"OK: 消去ブロック情報問い合わせ", "領域数: 1", "1--------------------------",
                     "領域先頭アドレス: 0xFFFC0000", "領域最終アドレス: 0xFFFFFFFF"}));
    EXPECT_EQ(env.sent.back(), Bytes({0x25}));
    EXPECT_EQ(Run(&BootDiagnostics::MnBootAreaInfoClick, InquiryReply(0x34, Bytes({0}))),
              (QStringList{"OK: ユーザブート領域情報問い合わせ", "領域数: 0"}));
    EXPECT_EQ(
        Run(&BootDiagnostics::MnDataAreaInfoClick,
            InquiryReply(0x3B, Bytes({1, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x1F, 0xFF}))),
        (QStringList{"OK: データ領域情報問い合わせ", "領域数: 1",
                     "データ領域先頭アドレス: 0x00100000", "データ領域最終アドレス: 0x00101FFF"}));
}

TEST_F(BootDiagnosticsTest, SmallDecodedReplies) {
    EXPECT_EQ(Run(&BootDiagnostics::MnClockInfoClick, InquiryReply(0x31, Bytes({3}))),
              (QStringList{"OK: クロックモード問い合わせ ", "クロックモード: 3"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnWriteSizeinfoClick, InquiryReply(0x37, Bytes({1, 0}))),
              (QStringList{"OK: // 書き込みサイズ問い合わせ", "書き込みサイズ: 256"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnDataAreaChkClick, InquiryReply(0x3A, Bytes({0x21}))),
              (QStringList{"OK: データ領域有無問い合わせ", "データ領域あり"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnDataAreaChkClick, InquiryReply(0x3A, Bytes({0x20})))[1],
              QStringLiteral("データ領域なし"));
    EXPECT_EQ(Run(&BootDiagnostics::MnUserAreaSumCheckClick,
                  InquiryReply(0x5B, Bytes({0x00, 0xAB, 0x0C, 0xDE}))),
              (QStringList{"OK: ユーザ領域サムチェック", "サムチェック: 0x00AB0CDE"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnBootProgInfoClick, InquiryReply(0x5F, Bytes({0x3F, 0x00}))),
              (QStringList{"OK: ブートプログラムステータス問い合わせ",
                           "ステータス: 書き込み消去ホストコマンド待ち", "エラー: エラーなし"}));
}

TEST_F(BootDiagnosticsTest, LockBitStatus) {
    EXPECT_EQ(
        Run(&BootDiagnostics::MnReadLockBitStatusClick, Bytes({0x40})),
        (QStringList{"OK: リードロックビットステータス", "ステータス: 64", "アンロック状態"}));
    EXPECT_EQ(Run(&BootDiagnostics::MnReadLockBitStatusClick, Bytes({0x00})),
              (QStringList{"OK: リードロックビットステータス", "ステータス: 0", "ロック状態"}));
}

TEST_F(BootDiagnosticsTest, FailureLineIsForcedAndOthersAreDebug) {
    link.fDispDebugInfo = 0;
    EXPECT_EQ(Run(&BootDiagnostics::MnSelEraseClick, Bytes({0x06})), QStringList{});
    EXPECT_EQ(lastResult, 1);
    EXPECT_EQ(Run(&BootDiagnostics::MnSelEraseClick, Bytes({0x15, 0x54})),
              QStringList{"NG: 消去選択"});
    EXPECT_EQ(lastResult, 0);
}

TEST_F(BootDiagnosticsTest, FixedArgumentsOfTheItems) {
    Run(&BootDiagnostics::MnWrite256BytesClick, Bytes({0x06}));
    EXPECT_EQ(env.sent, std::vector<QByteArray>{Bytes({0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4})});
    env.sent.clear();
    Run(&BootDiagnostics::MnRX210_IDCheckClick, Bytes({0x06}));
    ASSERT_EQ(env.sent.size(), 1u);
    EXPECT_EQ(env.sent[0].mid(2, 16), QByteArray(16, '\xFF'));
    UseKind(6);
    Run(&BootDiagnostics::MnDeviceSelectClick, Bytes({0x06}));
    EXPECT_EQ(env.sent.back(), Bytes({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}));
    settings.fCpuProg = 0;
    Run(&BootDiagnostics::MnMemReadClick, Bytes({0x15, 0x80}));
    EXPECT_EQ(env.sent.back()[0], '\x52');
    Run(&BootDiagnostics::MnBlockEraseClick, Bytes({0x06}));
    EXPECT_EQ(env.sent.back(), Bytes({0x58, 0x01, 0xFF, 0xA8}));
}

TEST_F(BootDiagnosticsTest, CommandCheckRunsItsHandlersInOrder) {
    // Nothing answers except the new bit rate, which is refused: every item fails in turn.
    env.SetResponder([this](const QByteArray& frame) {
        if (frame[0] == '\x3F')
            env.Reply(Bytes({0x15, 0x24}), 1);
    });
    BootDiagnostics diag(link, settings);
    EXPECT_EQ(diag.MnCmdCheckClick(), 0);
    std::vector<int> commands;
    for (const QByteArray& f : env.sent)
        commands.push_back(static_cast<std::uint8_t>(f[0]));
    EXPECT_EQ(commands, (std::vector<int>{0x20, 0x10, 0x21, 0x11, 0x22, 0x23, 0x3F, 0x24, 0x25,
                                          0x2A, 0x2B, 0x25, 0x27, 0x40}));
    EXPECT_EQ(log.lines.size(), 14 + 1); // one failure line each, and the refusal's error code
}

TEST(BootDiagMenu, EveryItemWithItsCaption) {
    const auto menu = BootDiagMenu();
    ASSERT_EQ(menu.size(), 13u);
    EXPECT_STREQ(menu[1].caption, "問い合わせコマンド");
    EXPECT_EQ(menu[1].children.size(), 15u);
    EXPECT_EQ(menu[3].children.size(), 15u);
    EXPECT_STREQ(menu[3].children[1].item, "MnSelUSerArea");
    EXPECT_STREQ(menu[8].caption, "ＩＤチェック");
    EXPECT_EQ(menu[8].handler, menu[2].handler);
    std::set<std::string> names;
    for (const BootDiagMenuEntry* e : BootDiagCommands())
        names.insert(e->item);
    EXPECT_EQ(names.size(), 15u + 15u + 3u);
    EXPECT_TRUE(names.count("MnCmdCheck"));
    EXPECT_FALSE(names.count("MnCRC1"));
}
