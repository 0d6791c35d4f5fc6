#include "boot/BootDiagnostics.h"

namespace {

using D = BootDiagnostics;

constexpr BootDiagMenuEntry kInquiries[] = {
    {"MnSupportDevice", "サポートデバイス", &D::MnSupportDeviceClick, {}},
    {"MnDeviceSelect", "デバイス選択", &D::MnDeviceSelectClick, {}},
    {"MnClockInfo", "クロックモード問い合わせ", &D::MnClockInfoClick, {}},
    {"MnSelectClockMode", "クロックモード選択", &D::MnSelectClockModeClick, {}},
    {"MnTeibaiInfo", "逓倍比問い合わせ", &D::MnTeibaiInfoClick, {}},
    {"MnGetClockInfo", "動作周波数問い合わせ", &D::MnGetClockInfoClick, {}},
    {"MnBootAreaInfo", "ブートモード領域情報問い合わせ", &D::MnBootAreaInfoClick, {}},
    {"MnUserAreaInfo", "ユーザ領域情報問い合わせ", &D::MnUserAreaInfoClick, {}},
    {"MnEraseBlockInfo", "消去ブロック情報問い合わせ", &D::MnEraseBlockInfoClick, {}},
    {"MnWriteSizeinfo", "書き込みサイズ問い合わせ", &D::MnWriteSizeinfoClick, {}},
    {"MnDataAreaChk", "データ領域有無問い合わせ", &D::MnDataAreaChkClick, {}},
    {"MnDataAreaInfo", "データ領域情報問い合わせ", &D::MnDataAreaInfoClick, {}},
    {"MnSelectBitRate", "新ビットレート選択", &D::MnSelectBitRateClick, {}},
    {"MnEraseStatusSet", "書き込み消去ステータス遷移", &D::MnEraseStatusSetClick, {}},
    {"MnBootProgInfo", "ブートプログラムステータス問い合わせ", &D::MnBootProgInfoClick, {}},
};

constexpr BootDiagMenuEntry kHostCommands[] = {
    {"MnSelUserBootArea", "ユーザブート領域書き込み選択", &D::MnSelUserBootAreaClick, {}},
    {"MnSelUSerArea", "ユーザ領域書き込み選択", &D::MnSelUSerAreaClick, {}},
    {"MnWrite256Bytes", "256バイト書き込み", &D::MnWrite256BytesClick, {}},
    {"MnSelErase", "消去選択", &D::MnSelEraseClick, {}},
    {"MnBlockErase", "ブロック消去", &D::MnBlockEraseClick, {}},
    {"MnMemRead", "メモリリード", &D::MnMemReadClick, {}},
    {"MnUserBootSumCheck", "ユーザブート領域サムチェック", &D::MnUserBootSumCheckClick, {}},
    {"MnUserAreaSumCheck", "ユーザ領域サムチェック", &D::MnUserAreaSumCheckClick, {}},
    {"MnDataSumCheck", "データ領域チェックサム", &D::MnDataSumCheckClick, {}},
    {"MnUserBootBlankCheck", "ユーザブート領域ブランクチェック", &D::MnUserBootBlankCheckClick, {}},
    {"MnUserAreaBlankCheck", "ユーザ領域ブランクチェック", &D::MnUserAreaBlankCheckClick, {}},
    {"MnReadLockBitStatus", "リードロックビットステータス", &D::MnReadLockBitStatusClick, {}},
    {"MnProgLockBit", "ロックビットプログラム", &D::MnProgLockBitClick, {}},
    {"MnEnLockBit", "ロックビット有効", &D::MnEnLockBitClick, {}},
    {"MnDisaLockBit", "ロックビット無効", &D::MnDisaLockBitClick, {}},
};

// The items without a handler have always been inert.
constexpr BootDiagMenuEntry kMenu[] = {
    {"MnBitRate", "ビットレート合わせ込み", nullptr, {}},
    {"N4", "問い合わせコマンド", nullptr, kInquiries},
    {"MnRX210_IDCheck", "ID コードチェック", &D::MnRX210_IDCheckClick, {}},
    {"N18", "プログラム / イレーズホストコマンド", nullptr, kHostCommands},
    {"MnReadSts", "ステータスリード", nullptr, {}},
    {"MnVer1", "バージョン情報", nullptr, {}},
    {"MnErase", "全イレーズ", nullptr, {}},
    {"MnClrSts", "ステータスクリア", nullptr, {}},
    {"MnIDCheck", "ＩＤチェック", &D::MnRX210_IDCheckClick, {}},
    {"MnSetProgMode", "プログラムモードへ移行", nullptr, {}},
    {"MnSetReStart", "リスタート", nullptr, {}},
    {"MnCRC1", "CRC計算", nullptr, {}},
    {"MnCmdCheck", "コマンドチェック", &D::MnCmdCheckClick, {}},
};

void CollectCommands(std::span<const BootDiagMenuEntry> entries,
                     std::vector<const BootDiagMenuEntry*>& out) {
    for (const BootDiagMenuEntry& e : entries) {
        if (e.handler)
            out.push_back(&e);
        CollectCommands(e.children, out);
    }
}

} // namespace

std::span<const BootDiagMenuEntry> BootDiagMenu() {
    return kMenu;
}

std::vector<const BootDiagMenuEntry*> BootDiagCommands() {
    std::vector<const BootDiagMenuEntry*> out;
    CollectCommands(kMenu, out);
    return out;
}
