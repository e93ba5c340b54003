#pragma once

#include <QString>

class QWidget;

namespace zr::ui {

// Message boxes and questions. Windows ask through this interface so that tests can see and
// answer them; the program uses QtMessageService.
class MessageService {
public:
    virtual ~MessageService() = default;
    // A message with one OK button.
    virtual void inform(const QString& text) = 0;
    // The error message box: error icon, one OK button.
    virtual void showError(const QString& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
};

// The application title, caption of every message box.
inline constexpr const char* kApplicationTitle = "ZR-6040 USB";

class QtMessageService : public MessageService {
public:
    explicit QtMessageService(QWidget* parent = nullptr) : parent_(parent) {}
    void inform(const QString& text) override;
    void showError(const QString& text) override;
    bool confirm(const QString& text) override;

private:
    QWidget* parent_;
};

} // namespace zr::ui
