#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace zr::test {

// Answers the program's modal dialogs of type T as they open: each time one is shown, `answer`
// runs on it once (and should close it). Stops when destroyed.
template <typename T> class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(T&)> answer) : answer_(std::move(answer)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                answered_ = nullptr; // the same dialog may be shown again later
            } else if (dialog != answered_) {
                answered_ = dialog;
                ++count;
                answer_(*dialog);
                if (!dialog->isVisible()) {
                    answered_ = nullptr;
                }
            }
        });
        timer_.start();
    }

    int count = 0;

private:
    std::function<void(T&)> answer_;
    QTimer timer_;
    T* answered_ = nullptr;
};

} // namespace zr::test
