#pragma once

#include "common/MessageService.h"

#include <QObject>
#include <QString>
#include <functional>
#include <utility>

namespace zr::common {

// The text of the error message box: a period is added when the last character sorts after ".".
QString errorBoxText(const QString& message);

// Runs a handler; an error it raises ends the handler and is shown in the error message box.
// Every handler of every window runs through here.
class HandlerGuard {
public:
    explicit HandlerGuard(common::MessageService& messages) : messages_(messages) {}

    void run(const std::function<void()>& handler) const;

    // A callable that runs `handler` under this guard, for connecting to signals.
    template <typename F> auto wrap(F handler) const {
        return [this, handler = std::move(handler)](auto&&...) { run(handler); };
    }

    common::MessageService& messages() const { return messages_; }

private:
    common::MessageService& messages_;
};

} // namespace zr::common
