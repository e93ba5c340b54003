#include "support/ProgramHarness.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QStyle>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// The menu as the user sees it, cut to one item's row.
QImage itemImage(QMenu* menu, QAction* item) {
    return menu->grab(menu->actionGeometry(item)).toImage();
}

// Pixels whose brightness differs clearly between two pictures: a faint shade does not count.
int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return a.width() * a.height();
    }
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) >= 80 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST(MethodMenu, ACheckedMethodItemIsVisiblyMarked) {
    ProgramHarness h;
    h.window().show();
    auto* menu = h.find<QMenu>("N20");
    ASSERT_NE(menu, nullptr);
    menu->popup(h.window().mapToGlobal(QPoint(100, 20)));
    QApplication::processEvents();
    QAction* research = h.find<QAction>("N21");
    QAction* motor = h.find<QAction>("N22");

    const QImage unchecked = itemImage(menu, research);
    research->setChecked(true);
    const QImage checked = itemImage(menu, research);
    EXPECT_GE(differingPixels(unchecked, checked), 12);
    // The menu draws the icon in place of the check mark, so the icon carries the mark: a
    // faint frame around an unchanged icon is all the style would add.
    const int size = menu->style()->pixelMetric(QStyle::PM_SmallIconSize);
    EXPECT_GE(differingPixels(research->icon().pixmap(size, QIcon::Normal, QIcon::On).toImage(),
                              research->icon().pixmap(size, QIcon::Normal, QIcon::Off).toImage()),
              8);

    // The mark moves with the choice.
    motor->setChecked(true);
    EXPECT_EQ(differingPixels(itemImage(menu, research), unchecked), 0);
    EXPECT_GE(differingPixels(itemImage(menu, motor), itemImage(menu, research)), 12);
    menu->hide();
}
