// The text export, the stored values' text export, the print report and the workbook of one
// table, made as the user makes it (live readings, stored values copied, a row deleted), compared
// byte for byte with the files kept in golden/ for the C and the Russian locale: those the program
// wrote while its rows were still the grid's texts, the workbook since with the whole-number
// format of its № column. The workbook is compared part by part, all but its creation time.
#include "../records/RecordsFixture.h"
#include "device/connection/LiveStatus.h"
#include "records/Export.h"
#include "records/PrintReportFormat.h"
#include "records/xlsx/TableWorkbook.h"
#include "support/LocaleGuard.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace zr::records::test {
namespace {

struct GoldenCase {
    const char* locale;
    const char* folder;
};

void PrintTo(const GoldenCase& golden, std::ostream* out) {
    *out << golden.locale;
}

class ExportGolden : public RecordsFixture, public ::testing::WithParamInterface<GoldenCase> {
protected:
    void at(int hour, int minute, int second) {
        now = QDateTime(QDate(2026, 3, 14), QTime(hour, minute, second));
    }
    // What the session takes from the live display for a status of `method`, `value` and
    // `frequency`.
    void reading(int method, float value, std::uint16_t frequency = 4500) {
        connection::DeviceStatus status;
        status.frequency = frequency;
        status.method = static_cast<std::uint8_t>(method);
        status.measuredValue = value;
        const connection::ShownValue shown = connection::ShownCaptions::shownValue(status);
        live = {method, shown.value, shown.decimals};
    }
    void storedPage() {
        protocol::StoredValuesPage p;
        p.records[0] = {1, 1, 92.3F, 0};
        p.records[1] = {2, 4, 95.1F, 1.5F};
        p.records[2] = {3, 7, 80.4F, 0};
        p.records[3] = {4, 2, 100.0F, 0};
        state.status.dataCount = 4;
        stored.receiveStoredValuesPage(p);
    }

    // The table as a user makes it.
    void makeTable() {
        lists.list(1).select(1); // "10"
        lists.list(2).select(2); // "АИ-92"
        at(9, 5, 7);
        table.writeLiveValue(); // before any status
        at(9, 6, 0);
        reading(1, 92.34F);
        table.writeLiveValue();
        at(9, 7, 30);
        reading(2, 92.25F); // halfway: to the even tenth
        table.writeLiveValue();
        at(9, 8, 0);
        reading(3, 51.0F);
        lists.list(2).insertItem(0, QString());
        lists.list(2).select(0);
        table.writeLiveValue();
        at(9, 9, 0);
        reading(4, 93.0F, 3000); // outside the band
        lists.list(3).insertItem(0, QStringLiteral("<АИ-95 & Ко>"));
        lists.list(3).select(0);
        lists.list(1).insertItem(0, QStringLiteral("1234567"));
        lists.list(1).select(0);
        table.writeLiveValue();

        at(10, 0, 0);
        storedPage();
        stored.copyStoredValuesToTable();
        at(10, 1, 0);
        state.status.dataCount = 2;
        stored.fetchStoredValues(); // copied before the pages come: empty method and value
        stored.copyStoredValuesToTable();

        tableRows.setCurrentRow(3);
        table.runHeaderCommand(1);
        storedPage();
    }

    QByteArray workbookParts() {
        QTemporaryDir dir;
        const WorkbookBytes book = tableWorkbook(tableRows.rows(), dir.path(), QLocale());
        EXPECT_TRUE(book.failure.isEmpty()) << book.failure.toStdString();
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        EXPECT_TRUE(zr::test::writeFileBytes(path, book.bytes));
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(ZR_WORKBOOK_PARTS), path});
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return python.readAllStandardOutput();
    }

    QByteArray golden(const QString& name) const {
        return zr::test::fileBytes(
            QDir(QStringLiteral(ZR_GOLDEN_DIR))
                .filePath(QString::fromLatin1(GetParam().folder) + QLatin1Char('/') + name));
    }
};

TEST_P(ExportGolden, TheFilesAreThoseKept) {
    const zr::test::LocaleGuard guard{QLocale(QString::fromLatin1(GetParam().locale))};
    makeTable();
    const std::pair<const char*, QByteArray> made[] = {
        {"table.txt", tableText(tableRows.rows())},
        {"stored.txt", storedValuesText(storedRows.rows())},
        {"tmp1.html", printReportBytes(tableRows.rows())},
        {"workbook.parts", workbookParts()},
    };
    for (const auto& [name, bytes] : made) {
        EXPECT_EQ(bytes, golden(QString::fromLatin1(name))) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ExportGolden,
                         ::testing::Values(GoldenCase{"C", "c"}, GoldenCase{"ru_RU", "ru_RU"}),
                         [](const ::testing::TestParamInfo<GoldenCase>& test) {
                             return std::string(test.param.folder);
                         });

} // namespace
} // namespace zr::records::test
