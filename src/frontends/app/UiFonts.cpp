#include "app/UiFonts.h"

#include <QStringList>

namespace UiFonts {

namespace {

QFont Make(const QStringList& families, QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    return font;
}

QFont WithPixels(QFont font, int pixelSize) {
    font.setPixelSize(pixelSize);
    return font;
}

QFont GothicBase() {
    return Make({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                 QStringLiteral("IPAGothic"), QStringLiteral("Monospace")},
                QFont::TypeWriter);
}

} // namespace

QFont Mincho(int pixelSize) {
    return WithPixels(Make({QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho"),
                            QStringLiteral("IPAMincho"), QStringLiteral("Serif")},
                           QFont::Serif),
                      pixelSize);
}

QFont Gothic(int pixelSize) {
    return WithPixels(GothicBase(), pixelSize);
}

QFont PGothic(int pixelSize) {
    return WithPixels(Make({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                            QStringLiteral("IPAPGothic"), QStringLiteral("Sans Serif")},
                           QFont::SansSerif),
                      pixelSize);
}

QFont GothicPt(int pointSize) {
    QFont font = GothicBase();
    font.setPointSize(pointSize);
    return font;
}

} // namespace UiFonts
