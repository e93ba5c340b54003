#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace zr::common {

// What counts a timer's interval down: Qt's timer in the program; tests drive their own, so that
// they never wait for wall time.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    // (Re)starts the countdown; onTimeout runs every time the interval has passed, until stop().
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

    std::function<void()> onTimeout;
};

// A timer that runs its expiry handler once and then disables itself. Enabling it while it is
// already enabled does not restart its interval, so repeated requests within one interval
// collapse into one expiry.
class OneShotTimer : public QObject {
    Q_OBJECT
public:
    // Without a driver, Qt's timer counts down on the event loop of the creating thread.
    explicit OneShotTimer(int intervalMs, QObject* parent = nullptr,
                          std::unique_ptr<TimerDriver> driver = nullptr);
    ~OneShotTimer() override;

    void enable();
    void disable();
    bool isEnabled() const;
    int interval() const;

signals:
    void expired();

private:
    int interval_;
    std::unique_ptr<TimerDriver> driver_;
};

} // namespace zr::common
