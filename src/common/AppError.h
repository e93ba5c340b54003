#pragma once

#include <QString>
#include <stdexcept>

namespace zr::common {

// An error raised inside a handler; the handler guard shows its text in the error message box.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

} // namespace zr::common
