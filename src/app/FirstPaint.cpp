#include "app/FirstPaint.h"

#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>

namespace zr::app {

namespace {

// Watches the widget until it is shown, then its native window until it is exposed: the
// window's own handling of that expose paints it, and what is posted now runs after that.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget& window, std::function<void()> then)
        : QObject(&window), window_(window), then_(std::move(then)) {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show && window_.windowHandle()) {
            window_.removeEventFilter(this);
            window_.windowHandle()->installEventFilter(this);
        } else if (watched == window_.windowHandle() && event->type() == QEvent::Expose &&
                   window_.windowHandle()->isExposed()) {
            window_.windowHandle()->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    then_();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> then_;
};

} // namespace

void afterFirstPaint(QWidget& window, std::function<void()> then) {
    new FirstPaintWatch(window, std::move(then));
}

} // namespace zr::app
