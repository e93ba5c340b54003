#include "ui/Fonts.h"

#include <QFont>

namespace zr::ui {

void installFontSubstitutions() {
    const QString ui = QString::fromLatin1(kUiFontFamily);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), ui);
    QFont::insertSubstitution(QStringLiteral("Arial"), ui);
    QFont::insertSubstitution(QStringLiteral("Arial Unicode MS"),
                              QString::fromLatin1(kDisplayFontFamily));
}

} // namespace zr::ui
