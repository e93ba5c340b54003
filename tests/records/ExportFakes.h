#pragma once

#include "records/BusyCursor.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "support/MemoryFiles.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace zr::test {

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

// Keeps the rows each preview was shown for.
class RecordingPrintPreview : public records::PrintPreviewPort {
public:
    void showPreview(const records::MeasurementRows& rows) override {
        shownFor.push_back(rows);
        if (onShow) {
            onShow();
        }
    }
    std::vector<records::MeasurementRows> shownFor;
    std::function<void()> onShow;
};

} // namespace zr::test
