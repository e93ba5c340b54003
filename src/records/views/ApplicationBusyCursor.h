#pragma once

#include "records/BusyCursor.h"

namespace zr::records {

// The busy cursor over every window of the application.
class ApplicationBusyCursor : public BusyCursor {
public:
    void show() override;
    void restore() override;
};

BusyCursor& applicationBusyCursor();

} // namespace zr::records
