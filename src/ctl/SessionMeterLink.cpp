#include "ctl/SessionMeterLink.h"

#include "calibration/CalibrationList.h"
#include "common/MessageService.h"
#include "common/OneShotTimer.h"
#include "device/connection/MeterConnection.h"
#include "device/connection/MethodSelection.h"
#include "device/hid/HidDevice.h"
#include "device/protocol/MemoryMap.h"
#include "device/protocol/Meter.h"
#include "records/BusyCursor.h"
#include "records/PrintPreviewPort.h"
#include "records/SaveDialogPort.h"
#include "records/StoredValues.h"
#include "session/MeterSession.h"

#include <QTimer>
#include <algorithm>

namespace zr::ctl {

// What the session would ask a person: nobody is there. Questions are answered no, so that no
// command erases anything; a message is the command's failure.
class SessionMeterLink::Ports : public common::MessageService,
                                public records::SaveDialogPort,
                                public records::BusyCursor,
                                public records::PrintPreviewPort {
public:
    explicit Ports(SessionMeterLink& link) : link_(link) {}

    void inform(const QString& text) override {
        const QString notAccessible = QString::fromUtf8(connection::kMeterNotAccessibleText);
        if (text.startsWith(notAccessible.left(notAccessible.indexOf(QLatin1String("%1"))))) {
            emit link_.meterNotAccessible(text);
        } else {
            emit link_.failed(text);
        }
    }
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
                                   QString dataDir)
    : platform_(platform, devicePath), dataDir_(std::move(dataDir)),
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
    session_ = std::make_unique<session::MeterSession>(
        platform_, dataDir_,
        session::SessionPorts{*ports_, *ports_, *ports_, *ports_, {}, {}, {}, {}, {}, {}});
    // The session's timers fetch for the window's lists on arrival and when the method changes;
    // here only the commands ask the meter anything.
    for (common::OneShotTimer* timer :
         {&session_->storedValuesTimer(), &session_->calibrationListTimer()}) {
        disconnect(timer, &common::OneShotTimer::expired, session_.get(), nullptr);
    }
    connect(session_.get(), &session::MeterSession::statusText, this,
            &SessionMeterLink::connectionChanged);
    connect(session_.get(), &session::MeterSession::statusReceived, this,
            [this] { emit statusReceived(session_->state().status); });
    connect(session_.get(), &session::MeterSession::storedValuesPageReceived, this,
            &SessionMeterLink::storedValuesPage);
    connect(session_.get(), &session::MeterSession::calibrationEntryReceived, this,
            &SessionMeterLink::calibrationEntry);
}

void SessionMeterLink::connectionChanged(const QString& text) {
    // The meter's name when it arrives; nothing when it is removed (the session still holds it
    // while it says so), the not-connected text when a command found it gone.
    const hid::HidDevice* meter = session_->state().currentDevice;
    const bool gone =
        text.isEmpty() || text == QString::fromUtf8(connection::kMeterNotConnectedText);
    if (gone || !meter) {
        if (found_) {
            found_ = false;
            emit meterLost();
        }
        return;
    }
    if (!found_ && meter->openedReadWrite()) {
        found_ = true;
        emit meterFound();
    }
}

void SessionMeterLink::fetchStoredValues() {
    const int count = session_->state().status.dataCount;
    pages_.clear();
    pagesExpected_ = count > protocol::memory::kRecordsPerPage ? 2 : 1;
    session_->storedValues().fetchStoredValues();
}

void SessionMeterLink::storedValuesPage(const protocol::StoredValuesPage& page) {
    if (pagesExpected_ == 0) {
        return;
    }
    pages_ << page;
    if (pages_.size() < pagesExpected_) {
        return;
    }
    pagesExpected_ = 0;
    // The records the stored values show are those the meter holds.
    emit storedValuesFetched(session_->storedValues().records());
}

void SessionMeterLink::fetchCalibrations(int method) {
    entries_.clear();
    entriesExpected_ = protocol::meter::kSlotsPerMethod;
    // The list asks for the method in force; for another one it is in force for the asking.
    connection::SharedState& state = session_->state();
    const std::uint8_t inForce = state.status.method;
    state.status.method = static_cast<std::uint8_t>(method);
    session_->calibrationList().requestCalibrationEntries();
    state.status.method = inForce;
}

void SessionMeterLink::calibrationEntry(const protocol::CalibrationSlot& entry) {
    if (entriesExpected_ == 0) {
        return;
    }
    // An empty slot answers with slot 0.
    if (entry.slot >= 1 && entry.slot <= protocol::meter::kSlotsPerMethod) {
        entries_ << entry;
    }
    if (--entriesExpected_ > 0) {
        return;
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const auto& a, const auto& b) { return a.slot < b.slot; });
    emit calibrationsFetched(entries_);
}

void SessionMeterLink::selectMethod(int method) {
    connection::ControllerContext context = session_->controllerContext();
    connection::selectMethod(context, method);
}

} // namespace zr::ctl
