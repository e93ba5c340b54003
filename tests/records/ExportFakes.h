#pragma once

#include "common/FileAccess.h"
#include "records/BusyCursor.h"
#include "records/SaveDialogPort.h"
#include "records/SpreadsheetServer.h"
#include "records/Web.h"
#include "support/MemoryFiles.h"

#include <QStringList>
#include <deque>
#include <memory>

namespace zr::test {

// Records every member call as "member path = value" in the order made; SaveAs can be failed.
class RecordingSpreadsheetServer : public records::SpreadsheetServer {
public:
    explicit RecordingSpreadsheetServer(QStringList& calls) : calls_(calls) {}
    ~RecordingSpreadsheetServer() override { calls_ << QStringLiteral("release"); }

    void setSheetsInNewWorkBook(int count) override { add("SheetsInNewWorkBook = %1", count); }
    void addWorkBook() override { calls_ << QStringLiteral("WorkBooks.Add"); }
    void selectSheet(int workbook, int sheet) override {
        calls_ << QStringLiteral("Workbooks(%1).Sheets(%2)").arg(workbook).arg(sheet);
    }
    void setColumnWidth(int column, double width) override {
        calls_ << QStringLiteral("Columns.Columns(%1).ColumnWidth = %2").arg(column).arg(width);
    }
    void setColumnsFontSize(double size) override { add("Columns.Columns.Font.Size = %1", size); }
    void setRangeFontSize(const QString& range, double size) override {
        calls_ << QStringLiteral("Range(%1).Font.Size = %2").arg(range).arg(size);
    }
    void setRangeFontBold(const QString& range, bool bold) override {
        calls_ << QStringLiteral("Range(%1).Font.Bold = %2").arg(range).arg(bold);
    }
    void setRangeInteriorColorIndex(const QString& range, int index) override {
        calls_
            << QStringLiteral("Range(%1).Columns.Interior.ColorIndex = %2").arg(range).arg(index);
    }
    void setRangeHorizontalAlignment(const QString& range, int alignment) override {
        calls_ << QStringLiteral("Range(%1).HorizontalAlignment = %2").arg(range).arg(alignment);
    }
    void setCell(int row, int column, const QString& text) override {
        calls_ << QStringLiteral("Cells(%1, %2) = %3").arg(row).arg(column).arg(text);
    }
    void saveAs(int workbook, const QString& fileName) override {
        calls_ << QStringLiteral("WorkBooks(%1).SaveAs(%2)").arg(workbook).arg(fileName);
        if (!saveAsFailure.isEmpty()) {
            throw records::SpreadsheetError(saveAsFailure);
        }
    }
    void closeWorkBook(int workbook, bool saveChanges) override {
        calls_ << QStringLiteral("WorkBooks(%1).close(%2)").arg(workbook).arg(saveChanges);
    }
    void quit() override { calls_ << QStringLiteral("quit"); }

    QString saveAsFailure;

private:
    void add(const char* format, double value) { calls_ << QString::fromLatin1(format).arg(value); }
    QStringList& calls_;
};

// Answers with the queued choices; nothing (cancel) when none is left.
class ScriptedSaveDialog : public records::SaveDialogPort {
public:
    std::optional<records::SaveChoice> execute() override {
        ++shown;
        if (answers.empty()) {
            return std::nullopt;
        }
        records::SaveChoice choice = answers.front();
        answers.pop_front();
        return choice;
    }
    std::deque<records::SaveChoice> answers;
    int shown = 0;
};

// Keeps the show/restore calls in order.
class RecordingBusyCursor : public records::BusyCursor {
public:
    explicit RecordingBusyCursor(QStringList& calls) : calls_(calls) {}
    void show() override { calls_ << QStringLiteral("cursor busy"); }
    void restore() override { calls_ << QStringLiteral("cursor default"); }

private:
    QStringList& calls_;
};

class RecordingWeb : public records::Web {
public:
    void Navigate(const QString& url) override { navigated << url; }
    bool ExecWB(int command, int option) override {
        commands << QStringLiteral("%1,%2").arg(command).arg(option);
        return execWorks;
    }
    QStringList navigated;
    QStringList commands;
    bool execWorks = true;
};

} // namespace zr::test
