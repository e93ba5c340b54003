#pragma once

#include "common/MessageService.h"

class QWidget;

namespace zr::ui {

// The message boxes as the user sees them, titled with the application title.
class QtMessageService : public common::MessageService {
public:
    explicit QtMessageService(QWidget* parent = nullptr) : parent_(parent) {}
    void inform(const QString& text) override;
    void showError(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmWarning(const QString& text, const QString& caption) override;

private:
    QWidget* parent_;
};

} // namespace zr::ui
