#include "ctl/Records.h"
#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "ctl/RecordWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

protocol::StatusReport sampleStatus() {
    protocol::StatusReport status;
    status.method = 2;
    status.measuredValue = 92.4f;
    status.correction = -0.3f;
    status.activeTable = 1;
    status.frequency = 4500;
    status.dataCount = 3;
    return status;
}

QByteArray written(Format format, const Layout& layout, const QList<Record>& records,
                   bool single = false) {
    QByteArray out;
    RecordWriter writer(format, layout, [&](const QByteArray& bytes) {
        out += bytes;
        return true;
    });
    EXPECT_TRUE(writer.writeDocument(records, single));
    return out;
}

// Scripts read these names: renaming one breaks them.
TEST(CtlRecordsTest, FieldNamesAreTheDocumentedOnes) {
    struct Case {
        Layout layout;
        const char* keys;
    };
    const Case cases[] = {
        {meterLayout(), "device,serial,read_write"},
        {statusLayout(false),
         "method,method_name,value,correction,table,frequency,frequency_valid,stored_count"},
        {statusLayout(true),
         "time,method,method_name,value,correction,table,frequency,frequency_valid,stored_count"},
        {storedValueLayout(), "number,method,method_name,value"},
        {calibrationLayout(), "slot,name,k1,k2"},
        {libraryLayout(), "index,name,method,k1,k2,comment"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.layout.keys.join(QLatin1Char(',')), QString::fromLatin1(c.keys));
        EXPECT_EQ(written(Format::Csv, c.layout, {}), QByteArray(c.keys) + "\r\n");
    }
}

TEST(CtlRecordsTest, StatusAsJsonCarriesNumbersAsTheMeterMeantThem) {
    const QByteArray json =
        written(Format::Json, statusLayout(false), {statusRecord(sampleStatus(), kRussian)}, true);
    EXPECT_EQ(QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact),
              QByteArray(R"({"correction":-0.3,"frequency":4500,"frequency_valid":true,)"
                         R"("method":2,"method_name":"Моторный метод","stored_count":3,)"
                         R"("table":1,"value":92.4})"));
}

TEST(CtlRecordsTest, ValueOutsideTheValidBandIsNullInJsonEmptyInCsvAndZeroInTheTable) {
    protocol::StatusReport status = sampleStatus();
    status.frequency = 3999;
    const Record record = statusRecord(status, kRussian);
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(record.values.at(2)));
    EXPECT_EQ(written(Format::Csv, statusLayout(false), {record}).split('\n').at(1),
              QByteArray("2,Моторный метод,,-0.3,1,3999,false,3\r"));
    EXPECT_EQ(record.cells.at(1), QStringLiteral("0"));
}

TEST(CtlRecordsTest, TableIsAlignedWithTheWindowsWordsAndTheLocalesNumbers) {
    const QByteArray table =
        written(Format::Table, statusLayout(false), {statusRecord(sampleStatus(), kRussian)});
    EXPECT_EQ(QString::fromUtf8(table),
              QStringLiteral("Метод             Значение  Коррекция  Таблица  Частота  "
                             "В допуске  Данных\n"
                             "2 Моторный метод  92,4      -0,3       1        4500     "
                             "да         3\n"));
}

TEST(CtlRecordsTest, CsvQuotesWhatRfc4180Requires) {
    const std::pair<const char*, const char*> cases[] = {
        {"А-92", "А-92"},       {"А,92", "\"А,92\""},   {"А\"92", "\"А\"\"92\""},
        {"А\n92", "\"А\n92\""}, {"А\r92", "\"А\r92\""},
    };
    for (const auto& [name, field] : cases) {
        protocol::CalibrationSlot entry;
        entry.slot = 1;
        entry.name = common::toCp1251(QString::fromUtf8(name));
        entry.k1 = 1000;
        entry.k2 = -5;
        EXPECT_EQ(written(Format::Csv, calibrationLayout(), {calibrationRecord(entry)}),
                  QByteArray("slot,name,k1,k2\r\n1,") + field + ",1000,-5\r\n");
    }
}

// Whatever a text holds, JSON gives it back as it was.
TEST(CtlRecordsTest, JsonTextsReadBackAsTheyWere) {
    const Layout layout{{QStringLiteral("text")}, {QStringLiteral("Текст")}};
    for (const char* text : {"АИ-95", "\"quoted\"", "back\\slash", "line\nbreak\r\ttab",
                             "\x01\x1f control", "emoji \xF0\x9F\x98\x80", ""}) {
        SCOPED_TRACE(text);
        const QString original = QString::fromUtf8(text);
        const QByteArray json = written(Format::Json, layout, {Record{{original}, {original}}});
        EXPECT_EQ(QJsonDocument::fromJson(json).array().at(0)[QStringLiteral("text")].toString(),
                  original);
    }
}

TEST(CtlRecordsTest, StreamedLinesAreWholeAndKeepTheirColumns) {
    QList<QByteArray> pieces;
    RecordWriter json(Format::Json, statusLayout(true), [&](const QByteArray& bytes) {
        pieces << bytes;
        return true;
    });
    ASSERT_TRUE(json.writeStreamed(statusRecord(sampleStatus(), kRussian, QStringLiteral("T1"))));
    ASSERT_TRUE(json.writeStreamed(statusRecord(sampleStatus(), kRussian, QStringLiteral("T2"))));
    ASSERT_EQ(pieces.size(), 2);
    for (const QByteArray& piece : pieces) {
        EXPECT_TRUE(piece.endsWith('\n'));
        EXPECT_EQ(piece.count('\n'), 1);
        EXPECT_TRUE(QJsonDocument::fromJson(piece).isObject());
    }

    QByteArray csv;
    RecordWriter csvWriter(Format::Csv, statusLayout(true), [&](const QByteArray& bytes) {
        csv += bytes;
        return true;
    });
    ASSERT_TRUE(
        csvWriter.writeStreamed(statusRecord(sampleStatus(), kRussian, QStringLiteral("T1"))));
    ASSERT_TRUE(
        csvWriter.writeStreamed(statusRecord(sampleStatus(), kRussian, QStringLiteral("T2"))));
    EXPECT_EQ(csv.count("time,method"), 1);
    EXPECT_EQ(csv.count("\r\n"), 3);
}

TEST(CtlRecordsTest, LibraryEntryShowsItsTextsDecoded) {
    calibration::LibraryRecord entry;
    entry.setIndex(7);
    entry.setNameBytes(common::toCp1251(QStringLiteral("АИ-95")));
    entry.setMethod(1);
    entry.setK1(1012);
    entry.setK2(-40);
    entry.setCommentBytes(common::toCp1251(QStringLiteral("эталон")));
    EXPECT_EQ(written(Format::Csv, libraryLayout(), {libraryRecord(entry)}).split('\n').at(1),
              QByteArray("7,АИ-95,1,1012,-40,эталон\r"));
}

TEST(CtlRecordsTest, AReadingChangesWithWhatTheWindowShowsButNotWithTheFrequencyOrNoise) {
    const protocol::StatusReport base = sampleStatus();
    protocol::StatusReport frequency = base;
    frequency.frequency = 4600;
    protocol::StatusReport outOfBand = base;
    outOfBand.frequency = 5200;
    protocol::StatusReport noise = base;
    noise.measuredValue = 92.43f;
    protocol::StatusReport value = base;
    value.measuredValue = 92.5f;
    protocol::StatusReport count = base;
    count.dataCount = 4;
    EXPECT_TRUE(sameReading(base, frequency));
    EXPECT_TRUE(sameReading(base, noise));
    EXPECT_FALSE(sameReading(base, outOfBand));
    EXPECT_FALSE(sameReading(base, value));
    EXPECT_FALSE(sameReading(base, count));
}

} // namespace
} // namespace zr::ctl
