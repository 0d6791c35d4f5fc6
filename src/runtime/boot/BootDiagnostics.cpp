#include "boot/BootDiagnostics.h"

#include "core/boot/BootFrames.h"
#include "core/boot/BootReplies.h"
#include "core/boot/BootTexts.h"
#include "core/link/ByteDump.h"
#include "link/TFlashWrRXCont.h"

#include <array>

namespace {

using Reply = TFlashWrRXCont::BootReply;

// The item sends the characters 8a02 whatever the target kind.
constexpr std::array<char, 4> kMenuDeviceCode{{'8', 'a', '0', '2'}};
constexpr std::uint32_t kLockBitAddress = 0xFFFEFFFFu;
constexpr std::uint32_t kMemReadAddress = 0xFFFA0000u;
constexpr std::uint32_t kMemReadSize = 256;
constexpr std::uint8_t kMemReadArea = 1;
// Bit 6 of the lock-bit status: set while the block is unlocked.
constexpr std::uint8_t kLockBitUnlocked = 0x40;

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString Hex8(std::uint32_t value) {
    return QStringLiteral("0x") + QString::fromStdString(tessaly::HexDigits(value, 8));
}

std::span<const std::uint8_t> Received(const Reply& reply, std::int32_t length) {
    return {reply.data(), static_cast<std::size_t>(length)};
}

} // namespace

int BootDiagnostics::Report(int result, const char* what) {
    if (result)
        link_.AddLog(QStringLiteral("OK: ") + Utf8(what), 0);
    else
        link_.AddLog(QStringLiteral("NG: ") + Utf8(what), 1);
    return result;
}

void BootDiagnostics::Line(const QString& text) {
    link_.AddLog(text, 0);
}

int BootDiagnostics::MnSupportDeviceClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.SupportDevice(length, reply), "サポートデバイス問い合わせ "))
        return 0;
    const tessaly::BootDeviceList list = tessaly::DecodeDeviceList(Received(reply, length));
    Line(QStringLiteral("デバイス数: ") + QString::number(list.count));
    for (const tessaly::BootDevice& device : list.devices) {
        Line(QStringLiteral("文字数: ") + QString::number(device.charCount));
        Line(QStringLiteral("デバイスコード: ") + QString::fromLatin1(device.code));
        Line(QStringLiteral("品名: ") + QString::fromLatin1(device.name));
    }
    return 1;
}

int BootDiagnostics::MnDeviceSelectClick() {
    return Report(link_.DeviceSelect(kMenuDeviceCode), "デバイス選択");
}

int BootDiagnostics::MnClockInfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.ClockInfo(length, reply), "クロックモード問い合わせ "))
        return 0;
    if (const auto mode = tessaly::DecodeFirstClockMode(Received(reply, length)))
        Line(QStringLiteral("クロックモード: ") + QString::number(*mode));
    return 1;
}

int BootDiagnostics::MnSelectClockModeClick() {
    return Report(link_.SelectClockMode(0), "クロックモード選択");
}

int BootDiagnostics::MnTeibaiInfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.TeibaiInfo(length, reply), "逓倍比問い合わせ"))
        return 0;
    const tessaly::BootRatioList list = tessaly::DecodeRatioList(Received(reply, length));
    Line(QStringLiteral("クロック数: ") + QString::number(list.clockCount));
    for (const auto& ratios : list.ratios) {
        Line(QStringLiteral("逓倍比種類: ") + QString::number(ratios.size()));
        for (std::uint8_t ratio : ratios)
            Line(QStringLiteral("逓倍比: ") + QString::number(ratio));
    }
    return 1;
}

int BootDiagnostics::MnGetClockInfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.GetClockInfo(length, reply), "動作周波数問い合わせ"))
        return 0;
    const tessaly::BootFrequencyList list = tessaly::DecodeFrequencyList(Received(reply, length));
    Line(QStringLiteral("クロック数: ") + QString::number(list.clockCount));
    const auto mhz = [](std::uint16_t value) {
        return QString::fromStdString(tessaly::FormatFrequency(value)) + QStringLiteral("MHz");
    };
    for (const tessaly::BootFrequencyRange& clock : list.clocks) {
        Line(QStringLiteral("最小周波数: ") + mhz(clock.min));
        Line(QStringLiteral("最大周波数: ") + mhz(clock.max));
    }
    return 1;
}

int BootDiagnostics::AreaInquiry(int (TFlashWrRXCont::*inquiry)(std::int32_t&, Reply&),
                                 const char* what) {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report((link_.*inquiry)(length, reply), what))
        return 0;
    const tessaly::BootAreaList list = tessaly::DecodeAreaList(Received(reply, length));
    Line(QStringLiteral("領域数: ") + QString::number(list.count));
    int k = 0;
    for (const tessaly::BootArea& area : list.areas) {
        Line(QString::number(++k) + QStringLiteral("--------------------------"));
        Line(QStringLiteral("領域先頭アドレス: ") + Hex8(area.first));
        Line(QStringLiteral("領域最終アドレス: ") + Hex8(area.last));
    }
    return 1;
}

int BootDiagnostics::MnBootAreaInfoClick() {
    return AreaInquiry(&TFlashWrRXCont::BootAreaInfo, "ユーザブート領域情報問い合わせ");
}

int BootDiagnostics::MnUserAreaInfoClick() {
    return AreaInquiry(&TFlashWrRXCont::UserAreaInfo, "ユーザ領域情報問い合わせ ユーザ領域の個数");
}

// The boot program has no erase block inquiry of its own here: the user area answers it.
int BootDiagnostics::MnEraseBlockInfoClick() {
    return AreaInquiry(&TFlashWrRXCont::UserAreaInfo, "消去ブロック情報問い合わせ");
}

int BootDiagnostics::MnWriteSizeinfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.WriteSizeInfo(length, reply), "// 書き込みサイズ問い合わせ"))
        return 0;
    if (const auto size = tessaly::DecodeProgrammingSize(Received(reply, length)))
        Line(QStringLiteral("書き込みサイズ: ") + QString::number(*size));
    return 1;
}

int BootDiagnostics::MnDataAreaChkClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.DataAreaChk(length, reply), "データ領域有無問い合わせ"))
        return 0;
    Line(tessaly::DecodeDataAreaAvailable(Received(reply, length))
             ? QStringLiteral("データ領域あり")
             : QStringLiteral("データ領域なし"));
    return 1;
}

int BootDiagnostics::MnDataAreaInfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.DataAreaInfo(length, reply), "データ領域情報問い合わせ"))
        return 0;
    const tessaly::BootAreaList list = tessaly::DecodeAreaList(Received(reply, length));
    Line(QStringLiteral("領域数: ") + QString::number(list.count));
    if (!list.areas.empty()) {
        Line(QStringLiteral("データ領域先頭アドレス: ") + Hex8(list.areas.front().first));
        Line(QStringLiteral("データ領域最終アドレス: ") + Hex8(list.areas.front().last));
    }
    return 1;
}

int BootDiagnostics::MnSelectBitRateClick() {
    const tagOptionPara& o = settings_.option;
    return Report(link_.SelectBitRate(static_cast<std::uint16_t>(o.BPSspeed / 100),
                                      tessaly::InputClockField(o.freq), o.teibai1, o.teibai2),
                  "新ビットレート選択");
}

int BootDiagnostics::MnEraseStatusSetClick() {
    std::uint8_t state = 0;
    return Report(link_.EraseStatusSet(state), "書き込み消去ステータス遷移");
}

int BootDiagnostics::MnBootProgInfoClick() {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report(link_.BootProgInfo(length, reply), "ブートプログラムステータス問い合わせ"))
        return 0;
    if (const auto s = tessaly::DecodeProgStatus(Received(reply, length))) {
        Line(QStringLiteral("ステータス: ") + Utf8(tessaly::BootStatusText(s->status)));
        Line(QStringLiteral("エラー: ") + Utf8(tessaly::BootErrorText(s->error)));
    }
    return 1;
}

int BootDiagnostics::MnRX210_IDCheckClick() {
    std::array<std::uint8_t, 16> blankCode{};
    blankCode.fill(0xFF);
    return Report(link_.IDCodeCheck(blankCode), "ID コードチェック");
}

int BootDiagnostics::MnSelUserBootAreaClick() {
    return Report(link_.SelUserBootArea(), "ユーザブート領域書き込み選択");
}

int BootDiagnostics::MnSelUSerAreaClick() {
    return Report(link_.SelUserArea(), "ユーザ領域書き込み選択");
}

int BootDiagnostics::MnWrite256BytesClick() {
    return Report(link_.Write256Bytes(tessaly::kBootEndAddress, link_.PageBuf),
                  "256バイト書き込み");
}

int BootDiagnostics::MnSelEraseClick() {
    return Report(link_.SelErase(), "消去選択");
}

int BootDiagnostics::MnBlockEraseClick() {
    return Report(link_.BlockErase(tessaly::kBootEndBlock), "ブロック消去");
}

int BootDiagnostics::MnMemReadClick() {
    return Report(link_.MemRead(kMemReadArea, kMemReadAddress, kMemReadSize, settings_.fCpuProg),
                  "メモリリード");
}

int BootDiagnostics::SumInquiry(int (TFlashWrRXCont::*inquiry)(std::int32_t&, Reply&),
                                const char* what) {
    Reply reply{};
    std::int32_t length = 0;
    if (!Report((link_.*inquiry)(length, reply), what))
        return 0;
    if (const auto sum = tessaly::DecodeChecksum(Received(reply, length)))
        Line(QStringLiteral("サムチェック: ") + Hex8(*sum));
    return 1;
}

int BootDiagnostics::MnUserBootSumCheckClick() {
    return SumInquiry(&TFlashWrRXCont::UserBootSumCheck, "ユーザブート領域サムチェック");
}

int BootDiagnostics::MnUserAreaSumCheckClick() {
    return SumInquiry(&TFlashWrRXCont::UserAreaSumCheck, "ユーザ領域サムチェック");
}

int BootDiagnostics::MnDataSumCheckClick() {
    return SumInquiry(&TFlashWrRXCont::DataSumCheck, "データ領域チェックサム");
}

int BootDiagnostics::MnUserBootBlankCheckClick() {
    return Report(link_.UserBootBlankCheck(), "ユーザブート領域ブランクチェック");
}

int BootDiagnostics::MnUserAreaBlankCheckClick() {
    return Report(link_.UserAreaBlankCheck(), "ユーザ領域ブランクチェック");
}

int BootDiagnostics::MnReadLockBitStatusClick() {
    std::uint8_t status = 0;
    if (!Report(link_.ReadLockBitStatus(kLockBitAddress, status), "リードロックビットステータス"))
        return 0;
    Line(QStringLiteral("ステータス: ") + QString::number(status));
    Line((status & kLockBitUnlocked) ? QStringLiteral("アンロック状態")
                                     : QStringLiteral("ロック状態"));
    return 1;
}

int BootDiagnostics::MnProgLockBitClick() {
    return Report(link_.ProgLockBit(kLockBitAddress), "ロックビットプログラム");
}

int BootDiagnostics::MnEnLockBitClick() {
    return Report(link_.EnLockBit(), "ロックビット有効");
}

int BootDiagnostics::MnDisaLockBitClick() {
    return Report(link_.DisaLockBit(), "ロックビット無効");
}

int BootDiagnostics::MnCmdCheckClick() {
    // The bit-rate matching item that opens the check sends nothing: the matching happens
    // only inside the set-up.
    constexpr int (BootDiagnostics::*kCheck[])() = {
        &BootDiagnostics::MnSupportDeviceClick, &BootDiagnostics::MnDeviceSelectClick,
        &BootDiagnostics::MnClockInfoClick,     &BootDiagnostics::MnSelectClockModeClick,
        &BootDiagnostics::MnTeibaiInfoClick,    &BootDiagnostics::MnGetClockInfoClick,
        &BootDiagnostics::MnSelectBitRateClick, &BootDiagnostics::MnBootAreaInfoClick,
        &BootDiagnostics::MnUserAreaInfoClick,  &BootDiagnostics::MnDataAreaChkClick,
        &BootDiagnostics::MnDataAreaInfoClick,  &BootDiagnostics::MnEraseBlockInfoClick,
        &BootDiagnostics::MnWriteSizeinfoClick, &BootDiagnostics::MnEraseStatusSetClick,
    };
    int all = 1;
    for (auto handler : kCheck)
        all &= (this->*handler)();
    return all;
}
