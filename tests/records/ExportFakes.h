#pragma once

#include "records/BusyCursor.h"
#include "records/FileAccess.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"

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

// Fails every write with the given reason.
class FailingFileWriter : public records::FileAccess {
public:
    explicit FailingFileWriter(QString reason) : reason_(std::move(reason)) {}
    ReadResult read(const QString&) override { return {}; }
    QString replace(const QString& path, const QByteArray&) override {
        paths << path;
        return reason_;
    }
    QStringList paths;

private:
    QString reason_;
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

// Counts the previews shown and what each was shown for.
class RecordingPrintPreview : public records::PrintPreviewPort {
public:
    void showPreview(const common::TextGrid& table) override {
        shownFor.push_back(&table);
        if (onShow) {
            onShow();
        }
    }
    std::vector<const common::TextGrid*> shownFor;
    std::function<void()> onShow;
};

} // namespace zr::test
