#include "ui/KeyPreviewApplication.h"

#include "ui/Fonts.h"
#include "ui/Icons.h"

#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

namespace zr::ui {

KeyPreviewApplication::KeyPreviewApplication(int& argc, char** argv) : QApplication(argc, argv) {
    installFontSubstitutions();
    deferStandardIcons();
}

KeyPreviewApplication* KeyPreviewApplication::instance() {
    return qobject_cast<KeyPreviewApplication*>(QCoreApplication::instance());
}

void KeyPreviewApplication::addKeyPreview(QWidget* window, Preview preview) {
    removeKeyPreview(window);
    previews_.push_back({window, std::move(preview)});
}

void KeyPreviewApplication::removeKeyPreview(QWidget* window) {
    std::erase_if(previews_, [window](const Entry& e) { return e.window == window; });
}

bool KeyPreviewApplication::notify(QObject* receiver, QEvent* event) {
    // notify() sees a key press once with its widget target (propagation to parents happens
    // inside the base implementation), unlike an event filter, which sees every propagation step.
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType() || previews_.empty() ||
        std::find(delivering_.begin(), delivering_.end(), event) != delivering_.end()) {
        return QApplication::notify(receiver, event);
    }
    QWidget* window = static_cast<QWidget*>(receiver)->window();
    for (const Entry& entry : previews_) {
        if (entry.window == window) {
            entry.preview(*static_cast<QKeyEvent*>(event));
            break;
        }
    }
    delivering_.push_back(event);
    struct Delivered {
        std::vector<const QEvent*>& list;
        ~Delivered() { list.pop_back(); }
    } delivered{delivering_};
    return QApplication::notify(receiver, event);
}

} // namespace zr::ui
