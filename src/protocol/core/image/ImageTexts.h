#pragma once

#include <string_view>

namespace tessaly::image_text {

// Texts of the firmware image loaders, shared by the code and its tests.
constexpr std::string_view kOutOfRange = "データが、範囲外です！！";
constexpr std::string_view kSummaryHead = "プログラムデータ読み込み終了[";
constexpr std::string_view kSummaryTail = "Bytes]";
constexpr std::string_view kCrcHead = "CRC: ";
// Failures to read a firmware file: the reason follows after " : ".
constexpr std::string_view kCannotOpen = "NG: ファイルを開けません";
constexpr std::string_view kCannotRead = "NG: ファイルを読み込めません";
constexpr std::string_view kTooLarge = "NG: ファイルが大きすぎます";
// A load without a fault that stored no byte within the image bounds, which follow between
// head and tail as FIRST-LAST: it does not count as loaded.
constexpr std::string_view kNoDataHead = "NG: 選択中のマイコンとROMサイズの範囲（";
constexpr std::string_view kNoDataTail = "）に書き込むデータがありません";
// A damaged firmware text, refused whole: the line of the first damaged record and why follow
// between head and tail as "N行目: <why>".
constexpr std::string_view kDamagedHead = "NG: ファームウェアが壊れています（";
constexpr std::string_view kDamagedTail = "）";
constexpr std::string_view kLineSuffix = "行目: ";
constexpr std::string_view kDamageChecksum = "チェックサムが一致しません";
constexpr std::string_view kDamageCount = "レコード長が足りません";
constexpr std::string_view kDamageWraps = "データがアドレスFFFFFFFFを越えます";
constexpr std::string_view kDamageNotSRecord = "Sレコードではありません";
constexpr std::string_view kDamageNotIntelHex = "Intel HEXのレコードではありません";
// Records that replaced earlier data with other bytes: the later ones were taken, and the first
// such range follows as FIRST-LAST.
constexpr std::string_view kOverwrittenHead =
    "注意: 先のレコードのデータを別の値で上書きしています（";
constexpr std::string_view kOverwrittenTail = "）";
// A path that is no ordinary file (a pipe, a device, a folder) is not read at all.
constexpr std::string_view kNotAFile = "NG: 通常のファイルではありません";
// The ROM size changed and the loaded firmware no longer fits the image.
constexpr std::string_view kImageOutsideNewBounds =
    "NG: ROMサイズの変更でＲＯＭデータが範囲外になりました。読み込み直してください";

} // namespace tessaly::image_text
