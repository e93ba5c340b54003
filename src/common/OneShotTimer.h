#pragma once

#include <QObject>
#include <QTimer>

namespace zr::common {

// A timer that runs its expiry handler once and then disables itself. Enabling it while it is
// already enabled does not restart its interval, so repeated requests within one interval
// collapse into one expiry.
class OneShotTimer : public QObject {
    Q_OBJECT
public:
    OneShotTimer(int intervalMs, QObject* parent = nullptr);

    void enable();
    void disable();
    bool isEnabled() const;
    int interval() const;

signals:
    void expired();

private:
    QTimer timer_;
};

} // namespace zr::common
