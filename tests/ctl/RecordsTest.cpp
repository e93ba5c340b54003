#include "ctl/Records.h"
#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "ctl/RecordWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
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
        {meterLayout(), "device,serial,read_write,product,usb_path"},
        {statusLayout(),
         "method,method_name,value,correction,table,frequency,frequency_valid,stored_count"},
        {watchLayout(),
         "time,method,method_name,value,correction,table,frequency,frequency_valid,stored_count,"
         "seq"},
        {storedValueLayout(), "number,method,method_name,value"},
        {calibrationLayout(), "slot,name,k1,k2"},
        {libraryLayout(), "index,name,method,k1,k2,comment"},
        {infoLayout(),
         "device,usb_path,vendor_id,product_id,version,product,serial,input_report_length,"
         "output_report_length,read_write,method,method_name,table,calibration_name,k1,k2"},
    };
    // JSON, which a parser reads back in any order, is written in the documented one too.
    static const QRegularExpression member(QStringLiteral(R"re("(\w+)": )re"));
    for (const Case& c : cases) {
        EXPECT_EQ(c.layout.keys.join(QLatin1Char(',')), QString::fromLatin1(c.keys));
        EXPECT_EQ(written(Format::Csv, c.layout, {}), QByteArray(c.keys) + "\r\n");
        const QString json = QString::fromUtf8(written(Format::Json, c.layout, {Record{}}, true));
        QStringList jsonKeys;
        for (const QRegularExpressionMatch& match : member.globalMatch(json)) {
            jsonKeys << match.captured(1);
        }
        EXPECT_EQ(jsonKeys.join(QLatin1Char(',')), QString::fromLatin1(c.keys));
    }
}

// The table and CSV that continue a file leave their header out; JSON has none.
TEST(CtlRecordsTest, WithoutHeaderOnlyTheRecordsAreWritten) {
    const Record record = calibrationRecord({1, "N", 1, 2, 3});
    for (const Format format : {Format::Csv, Format::Table}) {
        QByteArray document;
        QByteArray streamed;
        const auto into = [](QByteArray& out) {
            return [&out](const QByteArray& bytes) {
                out += bytes;
                return true;
            };
        };
        RecordWriter whole(format, calibrationLayout(), into(document), false);
        RecordWriter lines(format, calibrationLayout(), into(streamed), false);
        ASSERT_TRUE(whole.writeDocument({record, record}));
        ASSERT_TRUE(lines.writeStreamed(record));
        ASSERT_TRUE(lines.writeStreamed(record));
        EXPECT_EQ(document.count('\n'), 2) << document.data();
        EXPECT_EQ(streamed, document);
        EXPECT_TRUE(document.startsWith('1')) << document.data();
    }
}

TEST(CtlRecordsTest, StatusAsJsonCarriesNumbersAsTheMeterMeantThem) {
    const QByteArray json =
        written(Format::Json, statusLayout(), {statusRecord(sampleStatus(), kRussian)}, true);
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
    EXPECT_EQ(written(Format::Csv, statusLayout(), {record}).split('\n').at(1),
              QByteArray("2,Моторный метод,,-0.3,1,3999,false,3\r"));
    EXPECT_EQ(record.cells.at(1), QStringLiteral("0"));
}

// The headers are the catalogue's (English without one); the numbers the locale's.
TEST(CtlRecordsTest, TableIsAlignedWithTheLocalesNumbers) {
    const QByteArray table =
        written(Format::Table, statusLayout(), {statusRecord(sampleStatus(), kRussian)});
    EXPECT_EQ(QString::fromUtf8(table),
              QStringLiteral("Method            Value  Correction  Table  Frequency  "
                             "In band  Stored\n"
                             "2 Моторный метод  92,4   -0,3        1      4500       "
                             "yes      3\n"));
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
    RecordWriter json(Format::Json, watchLayout(), [&](const QByteArray& bytes) {
        pieces << bytes;
        return true;
    });
    ASSERT_TRUE(json.writeStreamed(watchRecord(sampleStatus(), kRussian, QStringLiteral("T1"), 1)));
    ASSERT_TRUE(json.writeStreamed(watchRecord(sampleStatus(), kRussian, QStringLiteral("T2"), 2)));
    ASSERT_EQ(pieces.size(), 2);
    for (const QByteArray& piece : pieces) {
        EXPECT_TRUE(piece.endsWith('\n'));
        EXPECT_EQ(piece.count('\n'), 1);
        EXPECT_TRUE(QJsonDocument::fromJson(piece).isObject());
    }

    QByteArray csv;
    RecordWriter csvWriter(Format::Csv, watchLayout(), [&](const QByteArray& bytes) {
        csv += bytes;
        return true;
    });
    ASSERT_TRUE(
        csvWriter.writeStreamed(watchRecord(sampleStatus(), kRussian, QStringLiteral("T1"), 1)));
    ASSERT_TRUE(
        csvWriter.writeStreamed(watchRecord(sampleStatus(), kRussian, QStringLiteral("T2"), 2)));
    EXPECT_EQ(csv.count("time,method"), 1);
    EXPECT_EQ(csv.count("\r\n"), 3);
}

// A streamed table's columns are as wide as the first record's cells; a wider cell later keeps a
// gap to the next column, and the column is that wide from then on.
TEST(CtlRecordsTest, AStreamedTableWidensAColumnForALongerCell) {
    const Layout layout{{"a", "b", "c"}, {"H1", "H2", "H3"}};
    const auto record = [](const QStringList& cells) { return Record{{"", "", ""}, cells}; };
    QByteArray out;
    RecordWriter writer(Format::Table, layout, [&](const QByteArray& bytes) {
        out += bytes;
        return true;
    });
    for (const QStringList& cells : {QStringList{"a", "b", "c"}, QStringList{"abcdefgh", "x", "y"},
                                     QStringList{"a", "b", "c"}}) {
        ASSERT_TRUE(writer.writeRecord(record(cells)));
    }
    ASSERT_TRUE(writer.endDocument());
    EXPECT_EQ(out, QByteArray("H1  H2  H3\n"
                              "a   b   c\n"
                              "abcdefgh  x   y\n"
                              "a         b   c\n"));
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
