#include "records/views/SaveDialog.h"
#include "support/ProgramHarness.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// Position of a control in the client area (below the menu bar).
QRect clientRect(ProgramHarness& h, QWidget* w) {
    QWidget* client = h.window().centralWidget();
    return QRect(w->mapTo(client, QPoint(0, 0)), w->size());
}

} // namespace

TEST(MainWindowLayout, WindowHasItsCaptionFixedClientAreaAndNoMaximize) {
    ProgramHarness h;
    auto& w = h.window();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZR6040USB"));
    EXPECT_EQ(w.centralWidget()->size(), QSize(941, 565));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST(MainWindowLayout, BlocksStandWhereTheyWereDesigned) {
    ProgramHarness h;
    const struct {
        const char* name;
        QRect inClientArea;
    } blocks[] = {
        {"GroupBox1", {1, 0, 273, 281}}, {"GroupBox2", {0, 280, 273, 265}},
        {"Panel1", {276, -3, 661, 129}}, {"PageControl1", {272, 128, 665, 417}},
        {"Status", {0, 546, 941, 19}},
    };
    for (const auto& b : blocks) {
        auto* w = h.find<QWidget>(QString::fromLatin1(b.name));
        ASSERT_NE(w, nullptr) << b.name;
        EXPECT_EQ(clientRect(h, w), b.inClientArea) << b.name;
    }
    // Controls placed inside their page or panel.
    const struct {
        const char* name;
        QRect inParent;
    } controls[] = {
        {"HeaderControl1", {1, 25, 655, 22}}, {"StringGrid3", {1, 47, 655, 338}},
        {"ComboBox1", {2, 1, 43, 22}},        {"ComboBox4", {180, 1, 117, 22}},
        {"Panel2", {491, 1, 169, 127}},
    };
    for (const auto& c : controls) {
        auto* w = h.find<QWidget>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.inParent) << c.name;
    }
}

TEST(MainWindowLayout, GridsHaveTheirColumnsRowsAndHeaders) {
    ProgramHarness h;
    auto* grid1 = h.find<zr::ui::StringGrid>("StringGrid1");
    auto* grid2 = h.find<zr::ui::StringGrid>("StringGrid2");
    auto* grid3 = h.find<zr::ui::StringGrid>("StringGrid3");
    ASSERT_TRUE(grid1 && grid2 && grid3);
    EXPECT_EQ(grid1->rowCountWithHeader(), 9);
    EXPECT_EQ(grid2->rowCountWithHeader(), 11);
    EXPECT_EQ(grid3->rowCountWithHeader(), 2);
    EXPECT_EQ(grid3->colCount(), 7);
    const QStringList headers1 = {"№", "Наименование", "К1", "К2"};
    const QStringList headers2 = {"№", "Метод", "Значение", ""};
    const QStringList headers3 = {"",   "Марка бензина", "Резервуар", "Поставщик", "Метод изм.",
                                  "ОЧ", "Дата/Время"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid1->cell(c, 0), headers1.at(c));
        EXPECT_EQ(grid2->cell(c, 0), headers2.at(c));
    }
    const int widths3[] = {42, 67, 68, 114, 114, 43, 107};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(grid3->cell(c, 0), headers3.at(c));
        EXPECT_EQ(grid3->columnWidth(c), widths3[c]);
    }
    EXPECT_EQ(grid2->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_NE(grid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(MainWindowLayout, ToolButtonsCarryTheirTooltipsAndIcons) {
    ProgramHarness h;
    const std::pair<const char*, const char*> buttons[] = {
        {"ToolButton1", "Добавить"},
        {"ToolButton2", "Удалить все значения"},
        {"ToolButton4", ""},
        {"ToolButton3", "Получить"},
        {"ToolButton5", "Добавить..."},
        {"ToolButton7", "Удалить все калибровки с прибора"},
        {"ToolButton9", "Сделать текущей выбранную калибровку"},
        {"ToolButton14", "Отменить текущую калибровку"},
        {"ToolButton13", "Обновить"},
    };
    for (const auto& [name, tip] : buttons) {
        auto* b = h.find<QToolButton>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(tip)) << name;
        EXPECT_FALSE(b->icon().isNull()) << name;
    }
    // ToolButton3 stands at the right end of its bar, behind the two gaps.
    h.window().show();
    QApplication::processEvents();
    EXPECT_EQ(h.find<QToolButton>("ToolButton3")->x(), 3 * 25 + 8 + 158);
}

TEST(MainWindowLayout, MenusHoldEveryItemWithIconsAndMethodItemsAreUncheckedRadios) {
    ProgramHarness h;
    QStringList captions;
    const auto actions = h.window().menuBar()->findChildren<QAction*>();
    for (QAction* a : actions) {
        if (!a->isSeparator() && !a->menu()) {
            captions << a->text();
            EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
        }
    }
    for (const char* c :
         {"Сохранить как...", "Печать", "Выход", "Установить", "Добавить...",
          "Удалить все с прибора", "Применить выбранную калибровку", "Отменить текущую калибровку",
          "Обновить список калибровок", "Исследовательский", "Моторный", "Цетановое число",
          "Описание программы", "О программе..."}) {
        EXPECT_TRUE(captions.contains(QString::fromUtf8(c))) << c;
    }
    for (const char* n : {"N21", "N22", "N23"}) {
        QAction* item = h.find<QAction>(QString::fromLatin1(n));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
    }
    h.find<QAction>("N22")->trigger();
    h.find<QAction>("N21")->trigger();
    EXPECT_TRUE(h.find<QAction>("N21")->isChecked());
    EXPECT_FALSE(h.find<QAction>("N22")->isChecked());
}

TEST(MainWindowLayout, PagesStatusBarsAndSaveDialog) {
    ProgramHarness h;
    auto* pages = h.window().pageControl();
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Таблица"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("TabSheet2"));
    EXPECT_EQ(pages->tabText(2), QStringLiteral("TabSheet3"));
    EXPECT_FALSE(pages->isTabVisible(1));
    EXPECT_FALSE(pages->isTabVisible(2));
    EXPECT_EQ(pages->currentIndex(), 0);

    auto* status = h.find<zr::ui::StatusPanels>("Status");
    ASSERT_EQ(status->panelCount(), 4);
    EXPECT_EQ(status->panel(0)->width(), 200);
    EXPECT_EQ(status->panel(2)->width(), 100);
    // The last panel reaches the bar's right edge.
    h.window().show();
    EXPECT_GE(status->panel(3)->width(), 50);
    EXPECT_EQ(status->panel(3)->geometry().right(), status->contentsRect().right());
    EXPECT_EQ(h.find<zr::ui::StatusPanels>("StatusOctan")->panelCount(), 3);

    auto* header = h.find<QHeaderView>("HeaderControl1");
    ASSERT_EQ(header->count(), 4);
    EXPECT_EQ(header->sectionSize(0), 160);
    EXPECT_EQ(header->sectionSize(3), 100);

    // Made when first needed, so that a run that saves nothing leaves Qt's dialog history alone.
    EXPECT_FALSE(h.program->dialogs().saveDialog().exists());
    EXPECT_EQ(
        h.program->dialogs().saveDialog().dialog()->nameFilters(),
        QStringList({"Microsoft Excel (*.xls)", "Текстовый файл (*.txt)", "Книга Excel (*.xlsx)"}));
    EXPECT_EQ(h.program->dialogs().saveDialog().dialog()->selectedNameFilter(),
              QStringLiteral("Текстовый файл (*.txt)"));
    EXPECT_EQ(h.program->dialogs().saveDialog().dialog()->defaultSuffix(), QStringLiteral("txt"));
}
