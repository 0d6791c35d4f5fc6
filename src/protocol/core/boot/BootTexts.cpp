#include "core/boot/BootTexts.h"

namespace tessaly {

namespace {
constexpr const char* kUnknown = "????";
}

const char* BootErrorText(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "エラーなし";
    case 0x11:
        return "サムチェックエラー";
    case 0x21:
        return "デバイスコード不一致エラー";
    case 0x22:
        return "クロックモード不一致エラー";
    case 0x24:
        return "ビットレート選択不可エラー";
    case 0x25:
        return "入力周波数エラー";
    case 0x26:
        return "逓倍比エラー";
    case 0x27:
        return "動作周波数エラー";
    case 0x29:
        return "ブロック番号エラー";
    case 0x2A:
        return "アドレスエラー";
    case 0x2B:
        return "データ長エラー";
    case 0x51:
        return "消去エラー";
    case 0x52:
        return "未消去エラー";
    case 0x53:
        return "書き込みエラー";
    case 0x54:
        return "選択処理エラー";
    case 0x80:
        return "コマンドエラー";
    case 0xFF:
        return "ビットレート合わせ込み確認エラー";
    default:
        return kUnknown;
    }
}

const char* BootStatusText(std::uint8_t status) {
    switch (status) {
    case 0x11:
        return "デバイス選択待ち";
    case 0x12:
        return "クロックモード選択待ち";
    case 0x13:
        return "ビットレート選択待ち";
    case 0x1F:
        return "書き込み消去ホストコマンド待ち状態への遷移待ち（ビットレート選択完了）";
    case 0x31:
        return "ユーザ領域の消去中/ユーザブート領域の消去中";
    case 0x3F:
        return "書き込み消去ホストコマンド待ち";
    case 0x4F:
        return "書き込みデータ受信待ち";
    case 0x5F:
        return "消去ブロック指定待ち";
    default:
        return kUnknown;
    }
}

} // namespace tessaly
