#pragma once

#include <QString>

// Every text the update sequence logs or shows besides its steps' own (UpdateSteps.h), in one
// place for the code and its tests.
namespace UpdateText {

inline const QString NoImage =
    QStringLiteral("ＲＯＭデータがありません。読み込んでから再実行してください");

// Result window.
inline const QString DoNotPowerOff = QStringLiteral("書き込み中は、電源を切らないでください");
inline const QString Starting = QStringLiteral("書き込み開始...");
inline const QString SucceededLabel = QStringLiteral("アップデートが正常に終了しました");
inline const QString FailedLabel = QStringLiteral("アップデートに失敗しました");
inline const QString Ok = QStringLiteral("OK");
inline const QString Ng = QStringLiteral("NG");

// The part of the write set-up that failed follows ("デバイス選択", ...).
inline const QString SetUpFailedAt = QStringLiteral("NG: 書込設定の失敗箇所 : ");

// A firmware file loaded (or not) for a run, and the built-in firmware that did not parse.
inline const QString ImageRead = QStringLiteral("OK: Read ROM Data");
inline const QString ImageNotRead = QStringLiteral("NG: Read ROM Data");

// Back to normal operation, the CHIP and the final comparison.
inline const QString RomVersionPrefix = QStringLiteral("ROM Version : ");
inline const QString McuFirmwareDone =
    QStringLiteral("制御マイコン用ファームの書き込みが正常に終了");
inline const QString ChipStart = QStringLiteral("内蔵CHIP用ファームの書き込みを開始");
inline const QString ChipVersionPrefix = QStringLiteral("Chip Version : ");
inline const QString ChipFirmwareDone = QStringLiteral("内蔵CHIP用ファームの書き込みが正常に終了");

// Outcome lines.
inline const QString Succeeded = QStringLiteral("アップデートが正常に終了しました。");
inline const QString Failed = QStringLiteral("アップデートに失敗しました。");
inline const QString CheckConnection = QStringLiteral("R/Wの接続、設定を確認してください。");
inline const QString PowerCycle = QStringLiteral("ソフトを終了し、R/Wの電源を入れ直してください。");
inline const QString RetryWithReWrite = QStringLiteral(
    "再度ソフトを起動し、［再書込み行う］にチェックを入れてもう一度書き込みを行ってください。");
inline const QString Retry =
    QStringLiteral("再度ソフトを起動し、もう一度書き込みを行ってください。");
// The command line's own way out after a failed write: re-write mode is an option there.
inline const QString RetryWithBootOption =
    QStringLiteral("--boot（再書き込みモード）を付けて、もう一度実行してください。");
// The R/W already holds the version asked for: the versions it reported follow.
inline const QString AlreadyCurrent = QStringLiteral("OK: 同じバージョンのため書き込みません : ");

// A run stopped before its end (a signal, Ctrl+C, a fleet stopped).
inline const QString Interrupted = QStringLiteral("アップデートを中断しました。");

} // namespace UpdateText

namespace UpdateText {

// The built-in firmware of a build without TESSALY_FIRMWARE is a generated test image: the
// window says so at start, and the update writes it to the simulator on loopback only.
inline const QString StandInNotice =
    QStringLiteral("注意: 内蔵ファームウェアは試験用の代替イメージです"
                   "（シミュレーター専用。実機のR/Wには書き込めません）");
inline QString StandInRefused(const QString& host) {
    return QStringLiteral("NG: 内蔵ファームウェアは試験用の代替イメージのため、") + host +
           QStringLiteral(" には書き込みません（127.0.0.0/8 のシミュレーター専用）。"
                          "実機用のファームウェアファイルを読み込んでから再実行してください");
}

} // namespace UpdateText
