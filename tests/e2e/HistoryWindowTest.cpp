#include "e2e/ExportDialogs.h"
#include "history/views/ChartColors.h"
#include "journal/Journal.h"
#include "journal/ProcessIdentity.h"
#include "support/ProgramHarness.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolTip>
#include <gtest/gtest.h>

using zr::test::ModalAnswer;
using zr::test::ProgramHarness;

namespace {

// The check standard: 40 measurements of one grade by one method, steady around 92.00 but for
// one far outside its limits (sample 1026), and among them 14 rows of another grade, one of
// them deleted.
constexpr int kStandardRows = 40;
constexpr int kOutlier = 25;

void writeJournal(const QString& dataDir) {
    zr::journal::Journal journal(QDir(dataDir).filePath(QStringLiteral("journal.sqlite")), 2000);
    const qint64 session = journal.startSession(zr::journal::ProcessIdentity::current());
    const QDateTime start(QDate(2026, 2, 2), QTime(8, 0), Qt::UTC);
    journal.begin();
    int position = 0;
    for (int i = 0; i < kStandardRows; ++i) {
        zr::journal::TableRow row;
        row.number = QString::number(1001 + i);
        row.grade = QStringLiteral("АИ-92");
        row.tank = QStringLiteral("P 1");
        row.supplier = QStringLiteral("ЛУКОЙЛ");
        row.method = 1;
        row.value = i == kOutlier ? 93.5 : 92.0 + ((i * 7) % 5 - 2) * 0.1;
        row.valueDecimals = zr::journal::TableRow::kOneDecimal;
        row.moment = start.addDays(i);
        journal.insertRows(session, position, 1);
        journal.setRow(session, position++, row, QString());
        if (i % 3 == 0) {
            row.number = QString::number(5000 + i);
            row.grade = QStringLiteral("АИ-95");
            row.value = 95.1;
            row.moment = row.moment.addSecs(-3600);
            journal.insertRows(session, position, 1);
            journal.setRow(session, position++, row, QString());
        }
    }
    // Sample 5003 of the other grade, deleted from the table.
    journal.removeRows(session, 5, 1);
    journal.closeSession(session);
    journal.commit();
}

QWidget* openHistory(ProgramHarness& h) {
    h.find<QAction>(QStringLiteral("historyMenuItem"))->trigger();
    return h.window().findChild<QWidget*>(QStringLiteral("historyWindow"));
}

// Picks a file name in the history's save dialogs: the type by its place in the list, then the
// name as typed.
std::function<void(QFileDialog&)> saveAs(int type, const QString& name) {
    return [type, name](QFileDialog& dialog) {
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        types->setCurrentIndex(type);
        emit types->activated(type);
        emit types->textActivated(types->currentText());
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->clear();
        edit->insert(name);
        QMetaObject::invokeMethod(&dialog, "accept");
    };
}

// Where the picture has pixels of `color`: their count and the leftmost and rightmost column.
struct Pixels {
    int count = 0;
    int left = -1;
    int right = -1;
};

Pixels pixelsOf(const QImage& image, const QColor& color) {
    Pixels found;
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF)) {
                ++found.count;
                found.left = found.left < 0 ? x : std::min(found.left, x);
                found.right = std::max(found.right, x);
            }
        }
    }
    return found;
}

// The first pixel of `color` in the widget as drawn, or nothing.
std::optional<QPoint> firstPixel(QWidget* widget, const QColor& color) {
    const QImage image = widget->grab().toImage();
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (color.rgb() & 0xFFFFFF)) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

TEST(HistoryWindowE2E, FiltersChartsTheCheckStandardAndSavesItsPicture) {
    ProgramHarness h(false);
    writeJournal(h.dataPath());
    h.start();
    h.window().show();

    QWidget* history = openHistory(h);
    ASSERT_NE(history, nullptr);
    WAIT_UNTIL(history->isVisible(), 5000);
    auto* table = history->findChild<QTableView*>(QStringLiteral("historyTable"));
    auto* rows = history->findChild<QLabel*>(QStringLiteral("rowCount"));
    WAIT_UNTIL_EQ(rows->text(), QStringLiteral("Строк: 53"), 5000);
    // Newest first.
    EXPECT_EQ(table->model()->index(0, 1).data().toString(), QStringLiteral("1040"));

    auto* grade = history->findChild<QComboBox*>(QStringLiteral("gradeFilter"));
    grade->setCurrentIndex(grade->findText(QStringLiteral("АИ-92")));
    WAIT_UNTIL_EQ(rows->text(), QStringLiteral("Строк: 40"), 5000);
    EXPECT_EQ(table->model()->rowCount(), kStandardRows);

    auto* pages = history->findChild<QTabWidget*>(QStringLiteral("historyPages"));
    pages->setCurrentIndex(1);
    auto* marked = history->findChild<QTableView*>(QStringLiteral("markedPoints"));
    ASSERT_GE(marked->model()->rowCount(), 1);
    // The outlier, beyond the limits on the individuals chart, is listed with its row.
    EXPECT_EQ(marked->model()->index(0, 0).data().toInt(), kOutlier + 1);
    EXPECT_EQ(marked->model()->index(0, 3).data().toString(), QStringLiteral("1026"));

    // Hovering the marked point shows its row.
    QWidget* chart = history->findChild<QWidget*>(QStringLiteral("controlChart"));
    WAIT_UNTIL(chart->isVisible(), 5000);
    const std::optional<QPoint> mark = firstPixel(chart, zr::history::chartMarkColor());
    ASSERT_TRUE(mark.has_value());
    QHelpEvent hover(QEvent::ToolTip, *mark + QPoint(3, 0), chart->mapToGlobal(*mark));
    QCoreApplication::sendEvent(chart, &hover);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("№: 1026")))
        << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("ЛУКОЙЛ")));

    const QString picture = QDir(h.dataPath()).filePath(QStringLiteral("карта.png"));
    ModalAnswer<QFileDialog> dialogs(saveAs(0, picture));
    history->findChild<QPushButton*>(QStringLiteral("saveChart"))->click();
    WAIT_UNTIL_EQ(dialogs.count, 1, 5000);

    QImage image;
    ASSERT_TRUE(image.loadFromData(zr::test::fileBytes(picture), "PNG"));
    EXPECT_EQ(image.size(), QSize(1600, 1000));
    // The series across the plot's width, in each of the three charts, and the marked point.
    const Pixels series = pixelsOf(image, zr::history::chartSeriesColor());
    EXPECT_GT(series.count, 3 * kStandardRows * 10);
    EXPECT_LT(series.left, 200);
    EXPECT_GT(series.right, 1400);
    EXPECT_GT(pixelsOf(image, zr::history::chartMarkColor()).count, 20);
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST(HistoryWindowE2E, DeletedRowsShowOnlyWhenAskedAndTheSelectionSavesAsCsv) {
    ProgramHarness h(false);
    writeJournal(h.dataPath());
    h.start();
    QWidget* history = openHistory(h);
    ASSERT_NE(history, nullptr);
    auto* number = history->findChild<QLineEdit*>(QStringLiteral("numberFilter"));
    number->setText(QStringLiteral("5003"));
    auto* table = history->findChild<QTableView*>(QStringLiteral("historyTable"));
    EXPECT_EQ(table->model()->rowCount(), 0);
    history->findChild<QCheckBox*>(QStringLiteral("deletedFilter"))->setChecked(true);
    ASSERT_EQ(table->model()->rowCount(), 1);

    const QString csv = QDir(h.dataPath()).filePath(QStringLiteral("строки.csv"));
    ModalAnswer<QFileDialog> dialogs(saveAs(3, csv));
    history->findChild<QPushButton*>(QStringLiteral("exportRows"))->click();
    WAIT_UNTIL_EQ(dialogs.count, 1, 5000);

    const QByteArray bytes = zr::test::fileBytes(csv);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Начало сеанса,№,Марка бензина,Резервуар,Поставщик,Метод "
                                       "изм.,ОЧ,Дата/Время,Удалена"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",5003,АИ-95,P 1,ЛУКОЙЛ,")));
    // Its deletion, in the last column.
    EXPECT_FALSE(lines[1].endsWith(u',')) << lines[1].toStdString();
}

} // namespace
