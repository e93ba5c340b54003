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

QPoint besideOrOver(const QRect& anchor, const QSize& size, const QRect& available,
                    const QRect& spare) {
    // Beside: level with the anchor's top; below or above: flush with its right edge. Either
    // slides along the anchor's edge to stay on screen.
    const int level = fitAxis(anchor.top(), size.height(), available.top(), available.height());
    const int flush = fitAxis(anchor.right() + 1 - size.width(), size.width(), available.left(),
                              available.width());
    const QRect sides[] = {
        {QPoint(anchor.right() + 1 + kGap, level), size},
        {QPoint(anchor.left() - kGap - size.width(), level), size},
        {QPoint(flush, anchor.bottom() + 1 + kGap), size},
        {QPoint(flush, anchor.top() - kGap - size.height()), size},
    };
    for (const QRect& place : sides) {
        if (available.contains(place) && !place.intersects(anchor)) {
            return place.topLeft();
        }
    }
    const QRect over(spare.bottomRight() - QPoint(size.width() - 1, size.height() - 1), size);
    return fitWithin(over, available);
}

void keepOnScreen(QWidget* window) {
    new ScreenKeeper(window);
}

} // namespace zr::ui
