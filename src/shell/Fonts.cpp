#include "shell/Fonts.h"

namespace shell {

void installFontSubstitutes() {
    QFont::insertSubstitution(QString::fromLatin1(kWindowFace),
                              QString::fromLatin1(kReplacementFace));
}

QFont windowFont(double pointSize, bool bold) {
    QFont font(QString::fromLatin1(kWindowFace));
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace shell
