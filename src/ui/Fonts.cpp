#include "ui/Fonts.h"

namespace zr::ui {

namespace {
QFont font(const char* family, int pixelSize, bool bold) {
    QFont f(QString::fromLatin1(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}
} // namespace

QFont uiFont(int pixelSize, bool bold) {
    return font(kUiFontFamily, pixelSize, bold);
}

QFont displayFont(int pixelSize, bool bold) {
    return font(kDisplayFontFamily, pixelSize, bold);
}

void installFontSubstitutions() {
    const QString ui = QString::fromLatin1(kUiFontFamily);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), ui);
    QFont::insertSubstitution(QStringLiteral("Arial"), ui);
    QFont::insertSubstitution(QStringLiteral("Arial Unicode MS"),
                              QString::fromLatin1(kDisplayFontFamily));
}

} // namespace zr::ui
