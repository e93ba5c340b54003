#include "common/HandlerGuard.h"

#include "common/AppError.h"

#include <exception>
#include <new>

namespace zr::common {

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

void HandlerGuard::run(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const common::AppError& error) {
        messages_.showError(errorBoxText(error.text()));
    } catch (const std::bad_alloc&) {
        // The library's own name for it means nothing to the user.
        messages_.showError(QStringLiteral("Не хватает памяти для этого действия."));
    } catch (const std::exception& error) {
        messages_.showError(errorBoxText(QString::fromUtf8(error.what())));
    }
}

} // namespace zr::common
