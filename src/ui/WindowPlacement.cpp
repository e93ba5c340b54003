#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zr::ui {

namespace {

// Gap between a window and its companion.
constexpr int kGap = 8;

int fitAxis(int start, int length, int areaStart, int areaLength) {
    // Bottom/right edge first, so that the top-left corner wins when the window is too large.
    const int pulledBack = std::min(start, areaStart + areaLength - length);
    return std::max(pulledBack, areaStart);
}

QRect availableFor(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect();
}

// Refits its window on every show and on the first move after it (the window manager places
// the frame then, and only then is the frame's size known).
class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            if (event->type() == QEvent::Show) {
                fit();
                awaitingFrame_ = true;
            } else if (event->type() == QEvent::Move && awaitingFrame_) {
                awaitingFrame_ = false;
                if (window_->frameGeometry().size() != fittedSize_) {
                    fit();
                }
            }
        }
        return false;
    }

private:
    void fit() {
        const QRect available = availableFor(window_);
        const QRect frame = window_->frameGeometry();
        fittedSize_ = frame.size();
        if (available.isEmpty()) {
            return;
        }
        const QPoint place = fitWithin(frame, available);
        if (place != frame.topLeft()) {
            window_->move(place);
        }
    }

    QWidget* window_;
    QSize fittedSize_;
    bool awaitingFrame_ = false;
};

} // namespace

QPoint fitWithin(const QRect& frame, const QRect& available) {
    return {fitAxis(frame.x(), frame.width(), available.x(), available.width()),
            fitAxis(frame.y(), frame.height(), available.y(), available.height())};
}

QPoint besideOrOver(const QRect& anchor, const QSize& size, const QRect& available) {
    const QRect right(QPoint(anchor.right() + 1 + kGap, anchor.top()), size);
    const QRect left(QPoint(anchor.left() - kGap - size.width(), anchor.top()), size);
    for (const QRect& place : {right, left}) {
        if (available.contains(place)) {
            return place.topLeft();
        }
    }
    const QRect over(QPoint(anchor.right() + 1 - size.width(), anchor.top()), size);
    return fitWithin(over, available);
}

void keepOnScreen(QWidget* window) {
    new ScreenKeeper(window);
}

} // namespace zr::ui
