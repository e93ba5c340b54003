#pragma once

#include "common/MessageService.h"

#include <QString>
#include <QStringList>

namespace zr::test {

// Records every message box instead of showing it; questions get a preset answer.
class FakeMessageService : public common::MessageService {
public:
    void inform(const QString& text) override { informed << text; }
    void showError(const QString& text) override { errors << text; }
    bool confirm(const QString& text) override {
        questions << text;
        return answer;
    }
    bool confirmWarning(const QString& text, const QString& caption) override {
        warningCaptions << caption;
        return confirm(text);
    }

    QStringList informed;
    QStringList errors;
    QStringList questions;
    QStringList warningCaptions;
    bool answer = true;
};

} // namespace zr::test
