#include "ui/QtTranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>

TEST(QtTranslations, QtsOwnButtonsSpeakTheUsersLanguage) {
    struct Case {
        const char* locale;
        const char* cancel;
        const char* close;
    };
    const Case cases[] = {
        {"ru_RU", "Отмена", "Закрыть"},
        {"en_US", "Cancel", "Close"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QTranslator> translator(
            zr::ui::installQtTranslations(*qApp, QLocale(QString::fromLatin1(c.locale))));
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Close);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8(c.cancel))
            << c.locale;
        EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text(), QString::fromUtf8(c.close))
            << c.locale;
    }
}
