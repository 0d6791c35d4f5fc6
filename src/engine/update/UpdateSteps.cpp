#include "update/UpdateSteps.h"

#include <array>

namespace {

using S = UpdateStep;

// The padding inside the result lines lines up the colons in the log's fixed-pitch font.
// clang-format off
const std::array<StepInfo, 13> kSteps{{
    {S::Image, QStringLiteral("image"), QStringLiteral("ROMデータ"), false, false, {}, {}, {}, {},
     false, 0, 11},
    {S::Connect, QStringLiteral("connect"), QStringLiteral("接続"), true, false, {}, {}, {}, {},
     false, 0, 10},
    {S::ProgramMode, QStringLiteral("programMode"), QStringLiteral("プログラムモード"), true,
     true, {}, {}, {}, {}, false, 0, 0},
    {S::SetUp, QStringLiteral("setup"), QStringLiteral("書込設定"), true, true, {},
     QStringLiteral("書込設定中..."), QStringLiteral("書込設定   : OK"),
     QStringLiteral("書込設定   : NG"), false, 0, 12},
    {S::IdCheck, QStringLiteral("idCheck"), QStringLiteral("ID照合"), true, true,
     QStringLiteral("ID照合"), QStringLiteral("ID照合中..."), QStringLiteral("ID照合     : OK"),
     QStringLiteral("ID照合     : NG"), false, 1, 13},
    {S::Erase, QStringLiteral("erase"), QStringLiteral("初期化"), true, true,
     QStringLiteral("初期化"), QStringLiteral("初期化中..."), QStringLiteral("初期化     : OK"),
     QStringLiteral("初期化     : NG"), false, 2, 14},
    {S::Write, QStringLiteral("write"), QStringLiteral("書き込み"), true, true,
     QStringLiteral("書き込み"), QStringLiteral("書き込み中..."),
     QStringLiteral("書き込み   : OK"), QStringLiteral("書き込み   : NG"), false, 3, 15},
    {S::Verify, QStringLiteral("verify"), QStringLiteral("データ照合"), true, true,
     QStringLiteral("データ照合"), QStringLiteral("データ照合中..."),
     QStringLiteral("データ照合 : OK"), QStringLiteral("データ照合 : NG"), true, 4, 16},
    {S::Restart, QStringLiteral("restart"), QStringLiteral("再起動"), true, false, {}, {}, {},
     {}, false, 0, 0},
    {S::RomVersion, QStringLiteral("romVersion"), QStringLiteral("ROMバージョン"), true, false,
     {}, {}, {}, QStringLiteral("NG : Get ROM Version"), false, 0, 17},
    {S::Chip, QStringLiteral("chip"), QStringLiteral("内蔵CHIP"), true, false, {}, {}, {}, {},
     false, 0, 0},
    {S::Compare, QStringLiteral("compare"), QStringLiteral("バージョン照合"), true, false, {},
     {}, {}, QStringLiteral("NG : CHIPバージョンが取得出来ません"), false, 0, 18},
    // Found by the final check, so it has that step's name in a record.
    {S::VersionsDiffer, QStringLiteral("compare"), QStringLiteral("バージョン照合"), false, false,
     {}, {}, {}, QStringLiteral("NG : CHIPとバージョン番号が異っています"), false, 0, 19},
}};
// clang-format on

} // namespace

const StepInfo& Step(UpdateStep step) {
    return kSteps[static_cast<std::size_t>(step)];
}

std::span<const StepInfo> Steps() {
    return kSteps;
}
