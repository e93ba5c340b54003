#pragma once

#include "ctl/MeterLink.h"
#include "ctl/MeterOnlyPlatform.h"

#include <QList>
#include <memory>

namespace zr::session {
class MeterSession;
}

namespace zr::ctl {

// The commands' meter as a meter session on the platform's meters only, with nothing of it that
// needs a person: questions are answered no, dialogs never open. The session fetches only when
// a command asks, so that reading commands send the meter nothing.
class SessionMeterLink : public MeterLink {
    Q_OBJECT
public:
    SessionMeterLink(hid::HidPlatform& platform, const QString& devicePath, const QString& serial,
                     QString dataDir);
    ~SessionMeterLink() override;

    QList<FoundMeter> findMeters() override;
    void start() override;
    void fetchStoredValues() override;
    void fetchCalibrations(int method) override;
    void selectMethod(int method) override;

private:
    class Ports;

    void lost();

    MeterOnlyPlatform platform_;
    QString dataDir_;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<session::MeterSession> session_;
    bool found_ = false;
};

} // namespace zr::ctl
