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
// needs a person: questions are answered no, dialogs never open. The session's own timers fetch
// nothing, so that reading commands send the meter nothing; stored values and calibrations
// are fetched by the session's controllers, as the window fetches them.
class SessionMeterLink : public MeterLink {
    Q_OBJECT
public:
    SessionMeterLink(hid::HidPlatform& platform, const QString& devicePath, QString dataDir);
    ~SessionMeterLink() override;

    QList<FoundMeter> findMeters() override;
    void start() override;
    void fetchStoredValues() override;
    void fetchCalibrations(int method) override;
    void selectMethod(int method) override;

private:
    class Ports;

    void connectionChanged(const QString& text);
    void storedValuesPage(const protocol::StoredValuesPage& page);
    void calibrationEntry(const protocol::CalibrationSlot& entry);

    MeterOnlyPlatform platform_;
    QString dataDir_;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<session::MeterSession> session_;
    bool found_ = false;

    int pagesExpected_ = 0;
    QList<protocol::StoredValuesPage> pages_;
    int entriesExpected_ = 0;
    QList<protocol::CalibrationSlot> entries_;
};

} // namespace zr::ctl
