#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace zr::test {

// A workbook as python3-openpyxl reads it back (tests/records/read_workbook.py).
struct Workbook {
    QJsonObject json;
    QJsonObject cell(const QString& address) const {
        return json.value(QStringLiteral("cells")).toObject().value(address).toObject();
    }
    QString text(const QString& address) const {
        return cell(address).value(QStringLiteral("value")).toString();
    }
    double width(const QString& column) const {
        return json.value(QStringLiteral("widths")).toObject().value(column).toDouble();
    }
};

inline Workbook readWorkbook(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(ZR_WORKBOOK_READER), path});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return Workbook{QJsonDocument::fromJson(python.readAllStandardOutput()).object()};
}

// The width a spreadsheet column of `width` characters is stored with (whole pixels of a
// 7-pixel character plus 5 pixels of padding, in 256ths).
inline double storedColumnWidth(double width) {
    const double pixels = static_cast<int>(width * 7 + 0.5) + 5;
    return static_cast<int>(pixels / 7 * 256) / 256.0;
}

} // namespace zr::test
