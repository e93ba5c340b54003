#include "ctl/SessionMeterLink.h"

#include "common/MessageService.h"
#include "records/BusyCursor.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "session/MeterSession.h"

#include <QTimer>

namespace zr::ctl {

// What the session would ask a person: nobody is there. Questions are answered no, so that no
// command erases anything; a message is the command's failure.
class SessionMeterLink::Ports : public common::MessageService,
                                public records::SaveDialogPort,
                                public records::BusyCursor,
                                public records::PrintPreviewPort {
public:
    explicit Ports(SessionMeterLink& link) : link_(link) {}

    void inform(const QString& text) override { emit link_.failed(text); }
    void showError(const QString& text) override { emit link_.failed(text); }
    bool confirm(const QString&) override { return false; }
    std::optional<records::SaveChoice> execute() override { return std::nullopt; }
    void show() override {}
    void restore() override {}
    void showPreview(const records::MeasurementRows&) override {}

private:
    SessionMeterLink& link_;
};

SessionMeterLink::SessionMeterLink(hid::HidPlatform& platform, const QString& devicePath,
                                   const QString& serial, QString dataDir)
    : platform_(platform, devicePath, serial), dataDir_(std::move(dataDir)),
      ports_(std::make_unique<Ports>(*this)) {}

SessionMeterLink::~SessionMeterLink() = default;

QList<FoundMeter> SessionMeterLink::findMeters() {
    return platform_.meters();
}

void SessionMeterLink::start() {
    if (platform_.enumerate().empty()) {
        QTimer::singleShot(0, this, [this] { emit noMeter(); });
        return;
    }
    using session::MeterSession;
    session_ = std::make_unique<MeterSession>(
        platform_, dataDir_,
        session::SessionPorts{*ports_, *ports_, *ports_, *ports_, {}, {}, {}, {}, {}, {}},
        session::FetchPolicy::OnRequest);
    // Every arrival of a device claims the meter again: it is found once.
    connect(session_.get(), &MeterSession::meterAttached, this,
            [this](const connection::MeterFacts& meter) {
                if (!found_ && meter.readWrite) {
                    found_ = true;
                    emit meterFound(meter);
                }
            });
    connect(session_.get(), &MeterSession::meterNotAccessible, this,
            &MeterLink::meterNotAccessible);
    connect(session_.get(), &MeterSession::meterDetached, this, &SessionMeterLink::lost);
    connect(session_.get(), &MeterSession::commandRefusedWithoutMeter, this,
            &SessionMeterLink::lost);
    connect(session_.get(), &MeterSession::statusReport, this, &MeterLink::statusReceived);
    connect(session_.get(), &MeterSession::storedValuesFetched, this,
            &MeterLink::storedValuesFetched);
    connect(session_.get(), &MeterSession::trafficLogLine, this,
            [this](const std::string& line) { emit trafficLine(QString::fromStdString(line)); });
    connect(session_.get(), &MeterSession::calibrationListFetched, this,
            [this](int, const QList<protocol::CalibrationSlot>& entries) {
                emit calibrationsFetched(entries);
            });
}

void SessionMeterLink::lost() {
    if (found_) {
        found_ = false;
        emit meterLost();
    }
}

void SessionMeterLink::fetchStoredValues() {
    session_->fetchStoredValues();
}

void SessionMeterLink::fetchCalibrations(int method) {
    session_->fetchCalibrationList(method);
}

void SessionMeterLink::selectMethod(int method) {
    session_->selectMethod(method);
}

} // namespace zr::ctl
