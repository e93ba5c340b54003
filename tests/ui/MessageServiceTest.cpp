#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct SeenBox {
    QString title;
    Qt::TextFormat format = Qt::AutoText;
    QString shownText;
};

// Runs `show` and, once its message box is up, records it and presses `button`.
SeenBox answer(const std::function<void()>& show, QMessageBox::StandardButton button) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.format = box->textFormat();
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        seen.shownText = label->text();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        box->button(button)->click();
    });
    show();
    return seen;
}

} // namespace

TEST(QtMessageService, MessagesShowTheirTextAsTypedNeverAsMarkup) {
    zr::ui::QtMessageService messages;
    const QString text = QStringLiteral("Файл <b>X</b>.txt & <i>data</i>");
    for (const auto& show : std::initializer_list<std::function<void()>>{
             [&] { messages.inform(text); }, [&] { messages.showError(text); }}) {
        const SeenBox seen = answer(show, QMessageBox::Ok);
        EXPECT_EQ(seen.title, QStringLiteral("ZR-6040 USB"));
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.shownText, text);
    }
    bool ok = false;
    const SeenBox seen = answer([&] { ok = messages.confirm(text); }, QMessageBox::Cancel);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_FALSE(ok);
    answer([&] { ok = messages.confirm(text); }, QMessageBox::Ok);
    EXPECT_TRUE(ok);
}
