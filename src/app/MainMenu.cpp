#include "app/MainMenu.h"

#include "ui/ToolBars.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace zr::app {

using ui::addMenuItem;
using ui::IconKind;

QActionGroup* buildMainMenu(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("N12"));
    addMenuItem(file, QStringLiteral("N13"), QStringLiteral("Сохранить как..."), IconKind::Save);
    file->addSeparator();
    addMenuItem(file, QStringLiteral("N15"), QStringLiteral("Печать"), IconKind::Print);
    file->addSeparator();
    addMenuItem(file, QStringLiteral("N17"), QStringLiteral("Выход"), IconKind::Exit);

    QMenu* correction = bar->addMenu(QStringLiteral("Коррекция"));
    correction->setObjectName(QStringLiteral("N18"));
    QMenu* linear =
        correction->addMenu(ui::icon(IconKind::Correction), QStringLiteral("Линейная коррекция "));
    linear->setObjectName(QStringLiteral("N31"));
    addMenuItem(linear, QStringLiteral("N32"), QStringLiteral("Установить"), IconKind::Correction);
    QMenu* twoPoint = correction->addMenu(ui::icon(IconKind::Correction),
                                          QStringLiteral("Компьютерная калибровка по 2 точкам"));
    twoPoint->setObjectName(QStringLiteral("N19"));
    addMenuItem(twoPoint, QStringLiteral("N33"), QStringLiteral("Добавить..."), IconKind::Add);
    addMenuItem(twoPoint, QStringLiteral("N34"), QStringLiteral("Удалить все с прибора"),
                IconKind::DeleteAll);
    twoPoint->addSeparator();
    addMenuItem(twoPoint, QStringLiteral("N35"), QStringLiteral("Применить выбранную калибровку"),
                IconKind::ApplySelected);
    addMenuItem(twoPoint, QStringLiteral("N36"), QStringLiteral("Отменить текущую калибровку"),
                IconKind::Cancel);
    twoPoint->addSeparator();
    addMenuItem(twoPoint, QStringLiteral("N37"), QStringLiteral("Обновить список калибровок"),
                IconKind::Refresh);

    QMenu* method = bar->addMenu(QStringLiteral("Метод измерения"));
    method->setObjectName(QStringLiteral("N20"));
    auto* methodItems = new QActionGroup(bar);
    methodItems->setExclusive(true);
    const std::pair<const char*, QString> methods[] = {
        {"N21", QStringLiteral("Исследовательский")},
        {"N22", QStringLiteral("Моторный")},
        {"N23", QStringLiteral("Цетановое число")},
    };
    for (const auto& [name, caption] : methods) {
        QAction* item = addMenuItem(method, QString::fromLatin1(name), caption, IconKind::Method);
        item->setCheckable(true);
        item->setChecked(false);
        methodItems->addAction(item);
    }

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("N28"));
    addMenuItem(help, QStringLiteral("N29"), QStringLiteral("Описание программы"), IconKind::Help);
    addMenuItem(help, QStringLiteral("N30"), QStringLiteral("О программе..."), IconKind::About);

    // Added after the menus, so that none of theirs moves; a menu of its own, as every command
    // of the bar stands in one with its icon.
    QMenu* history = bar->addMenu(QStringLiteral("История"));
    history->setObjectName(QStringLiteral("historyMenu"));
    addMenuItem(history, QStringLiteral("historyMenuItem"), QStringLiteral("История измерений"),
                IconKind::History);
    return methodItems;
}

} // namespace zr::app
