#pragma once

// Log lines of the boot-mode steps, shared by the code and its tests (UTF-8).
namespace BootLog {
inline constexpr char kErrorCode[] = "エラーコード: ";
inline constexpr char kMatchFailed[] = "NG: ビットレート合わせ込み";
inline constexpr char kDeviceSelectFailed[] = "NG: デバイス選択";
inline constexpr char kClockModeFailed[] = "NG: クロックモード選択";
inline constexpr char kSpeed[] = "SPEED :";
inline constexpr char kBitRateFailed[] = "NG: 新ビットレート選択";
inline constexpr char kIdCheckFailed[] = "NG: ID コードチェック";
inline constexpr char kUserRomBlank[] = "User ROM : BLANK";
inline constexpr char kUserRomNotBlank[] = "User ROM : NO BLANK";
inline constexpr char kSelEraseFailed[] = "NG: 消去選択";
inline constexpr char kBlockEraseFailedAt[] = "Erase 失敗 : 0x";
inline constexpr char kBlockEraseFailed[] = "Erase 失敗";
inline constexpr char kBlockErased[] = "Erase 成功";
inline constexpr char kEraseOk[] = "OK: 消去";
inline constexpr char kEraseFailed[] = "NG: 消去";
inline constexpr char kSelUserAreaFailed[] = "NG: ユーザ領域書き込み選択";
inline constexpr char kWriteFailed[] = "Write 失敗";
inline constexpr char kProgOk[] = "OK: Prog";
inline constexpr char kProgFailed[] = "NG: Prog";
inline constexpr char kCrcData[] = "CRC Data: 0x";
// The parts of the set-up, as a failed one is named (BootSetupFailedAt).
inline constexpr char kMatchPart[] = "ビットレート合わせ込み";
inline constexpr char kDeviceSelectPart[] = "デバイス選択";
inline constexpr char kClockModePart[] = "クロックモード選択";
inline constexpr char kBitRatePart[] = "新ビットレート選択";
} // namespace BootLog
