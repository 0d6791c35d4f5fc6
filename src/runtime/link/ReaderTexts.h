#pragma once

#include <QString>

// Log lines and messages of the R/W commands and the connection procedure, shared by the code,
// the front ends and the tests.
namespace ReaderTexts {

inline const QString kDousaModeSet = QStringLiteral("DousaModeSet: ");
inline const QString kRomVersionRequest = QStringLiteral("ＲＯＭのバージョン情報");
inline const QString kChipVersionRequest = QStringLiteral("チップ情報の読み取り");
inline const QString kRomVersion = QStringLiteral("ROM Version : ");
inline const QString kChipVersion = QStringLiteral("CHIP Version : ");
inline const QString kProgMode = QStringLiteral("ST_PROG_MODE: ");
inline const QString kAckReceived = QStringLiteral("ACK Recieve");
inline const QString kError = QStringLiteral("Error");
inline const QString kTimeOver = QStringLiteral("Time Over(10)");

inline const QString kProgressCaption = QStringLiteral("しばらくお待ちください");
inline const QString kCheckingReader = QStringLiteral("------- Check ZMW R/W ----------");
inline const QString kFound = QStringLiteral("Find ZMW R/W ");
inline const QString kSpeed = QStringLiteral("Speed  : ");
inline const QString kNotFound = QStringLiteral("R/Wモジュールが見つかりませんでした。");
inline const QString kCheckConnection = QStringLiteral("R/Wの接続を確認してください。");
inline const QString kReWriteMode =
    QStringLiteral("再書き込みモードで、ファームのアップデートを実行します。");

// Debug line of an operation refused because it was started from inside a running wait.
inline const QString kNestedRefused =
    QStringLiteral("NG: 応答待ちの最中には別の操作を開始できません");

// Logged once when a run was asked to stop (a fleet interrupted twice): what follows fails.
inline const QString kStopped = QStringLiteral("NG: 中止の指示により、処理を打ち切りました");

} // namespace ReaderTexts
