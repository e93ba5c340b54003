#pragma once

#include <QString>

namespace zr::app {

// The service key counter: typing 7, 1, 1 (or 7 7 7, 7 1 7, 7 7 1) reveals the service pages.
class ServiceKeyCounter {
public:
    // Feeds the text of one key press; returns true when the counter reached 3 on it.
    // A key press that types no character leaves the counter unchanged.
    bool feed(const QString& typed);
    int value() const { return count_; }

private:
    int count_ = 0;
};

} // namespace zr::app
