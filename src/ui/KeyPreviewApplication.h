#pragma once

#include <QApplication>
#include <functional>
#include <vector>

class QKeyEvent;

namespace zr::ui {

// The application object. It makes the designed font names resolve to the program's fonts, has
// standard icons made only when first drawn, and
// lets a window see every character typed into any of its controls before the control does
// (keyboard preview), exactly once per key press.
class KeyPreviewApplication : public QApplication {
    Q_OBJECT
public:
    using Preview = std::function<void(QKeyEvent&)>;

    KeyPreviewApplication(int& argc, char** argv);

    // Called for each key press whose target lies in `window` (the window itself included).
    void addKeyPreview(QWidget* window, Preview preview);
    void removeKeyPreview(QWidget* window);

    static KeyPreviewApplication* instance();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    struct Entry {
        QWidget* window;
        Preview preview;
    };
    std::vector<Entry> previews_;
    // Key presses being delivered right now. A control may hand the very same event on to
    // another (a grid cell passes the key that opens its editor to the editor); it is still
    // one typed character.
    std::vector<const QEvent*> delivering_;
};

} // namespace zr::ui
