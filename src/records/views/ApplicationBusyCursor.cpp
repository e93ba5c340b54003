#include "records/views/ApplicationBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace zr::records {

void ApplicationBusyCursor::show() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void ApplicationBusyCursor::restore() {
    QGuiApplication::restoreOverrideCursor();
}

BusyCursor& applicationBusyCursor() {
    static ApplicationBusyCursor cursor;
    return cursor;
}

} // namespace zr::records
