#include "app/ResultsBlock.h"
#include "support/MeterHarness.h"
#include "ui/StringGrid.h"

#include <QFileDialog>
#include <QLabel>
#include <gtest/gtest.h>

using zr::test::MeterHarness;

namespace {
const QString kMarkup = QStringLiteral("<b>X</b>");
}

TEST(PlainText, ACalibrationNameThatLooksLikeMarkupShowsAsTyped) {
    MeterHarness h;
    h.find<zr::ui::StringGrid>("StringGrid1")->setCell(1, 2, kMarkup);
    h.sendStatus(4500, 1, 92.0F, 0, 2, 0);
    QLabel* shownLabel = h.window().results()->calibrationLabel();
    ASSERT_EQ(shownLabel->text(), kMarkup);
    // Drawn as markup, the label would need only the width of a bold "X".
    EXPECT_GE(shownLabel->sizeHint().width(), shownLabel->fontMetrics().horizontalAdvance(kMarkup));
}

TEST(PlainText, GridCellsShowMarkupAsTyped) {
    MeterHarness h;
    auto* grid = h.find<zr::ui::StringGrid>("StringGrid1");
    grid->setCell(1, 1, kMarkup);
    const QAbstractItemView* view = grid;
    EXPECT_GE(view->sizeHintForColumn(1), grid->fontMetrics().horizontalAdvance(kMarkup));
}

TEST(PlainText, EveryLabelOfTheWindowAndItsDialogsIsPlainText) {
    MeterHarness h;
    QList<QLabel*> labels = h.window().findChildren<QLabel*>();
    ASSERT_GE(labels.size(), 10);
    for (QLabel* label : labels) {
        // Qt's own file dialog and pictures show no data.
        if (qobject_cast<QFileDialog*>(label->window()) || !label->pixmap().isNull()) {
            continue;
        }
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
}
