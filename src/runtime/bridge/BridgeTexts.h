#pragma once

#include <QString>

// The bridge controller's log lines, shared by the code and its tests.
namespace BridgeTexts {

inline const QString kBindError = QStringLiteral("接続エラー");
// The two words are separated by an ideographic space (U+3000).
inline const QString kReplyTimeout = QStringLiteral("レスポンス待ち　タイムオーバー");
inline const QString kIdPrefix = QStringLiteral("ID : ");
inline const QString kFirmwarePrefix = QStringLiteral("Firmware : ");
inline const QString kMacPrefix = QStringLiteral("MAC Address : ");

// The module answered the setup request but did not confirm the record it was sent: the speed
// may not have changed.
inline const QString kNotAccepted =
    QStringLiteral("NG: X-Portが設定の書き込みを受け付けませんでした（0xFB応答なし）");
// A datagram from an address other than the module that was asked.
inline const QString kForeignSender =
    QStringLiteral("X-Port UDP: 問い合わせ先以外からの応答を無視: ");

// Another program on this PC is changing a module's settings through the same port: this one
// waits for its turn (logged once per exchange).
inline const QString kWaitingForTurn =
    QStringLiteral("X-Port UDP: 他のプログラムがX-Portを設定中のため、終わるまで待ちます");

// The port's turn did not come within its limit: nothing was sent to the module, whose settings
// are as they were.
inline const QString kTurnMissed = QStringLiteral(
    "NG: 他のプログラムがブリッジのポートを使い続けているため、X-Portに送信しませんでした");

// The local address the bridge port is to be bound on is not this PC's (a typo in --bind or in
// the settings file's BridgeBindAddress): the address follows. Said before the R/W is touched.
inline const QString kBindAddressNotHere =
    QStringLiteral("NG: ブリッジのポートを割り当てるアドレスがこのPCにありません : ");

} // namespace BridgeTexts
