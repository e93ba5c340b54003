#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace zr::ui {

// Loads Qt's own translations (file and print dialogs, standard buttons) for `locale` from Qt's
// translations directory and installs them in `app`, which owns them. Nothing when there are
// none for the locale; Qt's dialogs then stay in English.
QTranslator* installQtTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

} // namespace zr::ui
