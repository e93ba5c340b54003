#pragma once

#include <QHash>
#include <QString>
#include <functional>

namespace zr::common {

// The program's handlers by name (fetchStoredValues, openManualCorrection, …). Each subsystem's
// controller adds its own; the main window's command table runs them by name. The argument is the
// section of a header click, 0 otherwise.
class HandlerRegistry {
public:
    using Handler = std::function<void(int argument)>;

    void add(const char* name, Handler handler) {
        handlers_.insert(QString::fromLatin1(name), std::move(handler));
    }

    // Nothing when no handler has that name.
    const Handler* find(const QString& name) const {
        const auto found = handlers_.constFind(name);
        return found == handlers_.cend() ? nullptr : &found.value();
    }

private:
    QHash<QString, Handler> handlers_;
};

} // namespace zr::common
