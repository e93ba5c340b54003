#include "ctl/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zr::ctl {

void installTranslations(QCoreApplication& app) {
    const QLocale locale = QLocale::system();
    // Built in as a resource, so that an uninstalled build speaks the language too.
    auto* own = new QTranslator(&app);
    if (!own->load(locale, QStringLiteral("zr6040ctl"), QStringLiteral("_"),
                   QStringLiteral(":/i18n"))) {
        // No catalogue: the texts stay English, and so do Qt's.
        delete own;
        return;
    }
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
}

} // namespace zr::ctl
