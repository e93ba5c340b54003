#pragma once

namespace zr::records {

// The busy (hourglass) cursor of the whole application.
class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void show() = 0;
    virtual void restore() = 0;
};

// Shows the busy cursor for its lifetime (restored also when an error cuts the work short).
class BusyCursorScope {
public:
    explicit BusyCursorScope(BusyCursor& cursor) : cursor_(&cursor) { cursor_->show(); }
    ~BusyCursorScope() { restore(); }
    BusyCursorScope(const BusyCursorScope&) = delete;
    BusyCursorScope& operator=(const BusyCursorScope&) = delete;

    void restore() {
        if (cursor_) {
            cursor_->restore();
            cursor_ = nullptr;
        }
    }

private:
    BusyCursor* cursor_;
};

} // namespace zr::records
