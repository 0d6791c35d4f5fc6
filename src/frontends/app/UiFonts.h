#pragma once

#include <QFont>

// The window fonts, matched to what the system has: the Windows Japanese fonts where they
// exist, the IPA fonts on Linux, and the platform's default otherwise.
namespace UiFonts {

QFont Mincho(int pixelSize);   // "ＭＳ 明朝"
QFont Gothic(int pixelSize);   // "ＭＳ ゴシック" (fixed pitch)
QFont PGothic(int pixelSize);  // "ＭＳ Ｐゴシック" (proportional)
QFont GothicPt(int pointSize); // "ＭＳ ゴシック" given in points, as the result label is sized

} // namespace UiFonts
