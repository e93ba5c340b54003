#pragma once

#include <QString>

namespace zr::common {

// Message boxes and questions. Controllers and windows ask through this interface so that tests
// can see and answer them; the program shows them with ui::QtMessageService.
class MessageService {
public:
    virtual ~MessageService() = default;
    // A message with one OK button.
    virtual void inform(const QString& text) = 0;
    // The error message box: error icon, one OK button.
    virtual void showError(const QString& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // A warning question with OK and Cancel under its own caption; true for OK.
    virtual bool confirmWarning(const QString& text, const QString& caption) {
        (void)caption;
        return confirm(text);
    }
};

// The application title, caption of every message box.
inline constexpr const char* kApplicationTitle = "ZR-6040 USB";

} // namespace zr::common
