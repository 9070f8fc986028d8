// The simulated HID controller: which devices are plugged in, the list the program enumerates,
// check-out and check-in, hotplug notifications, and the wire log.
#include "sim/SimDevice.h"
#include "sim/SimHid.h"
#include "sim/SimState.h"

#include <QMetaObject>

#include <algorithm>

namespace sim {

using DevicePtr = std::shared_ptr<SimDevice>;

namespace {

int clampLength(int length) {
    return std::clamp(length, 10, 256);
}

std::size_t slot(DeviceKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

// Ownership: a device object is shared by the plugged slot, the enumerated list and the
// checked-out list; it is freed once none of them holds it any more.
struct SimHidController::Impl final : DeviceHost {
    explicit Impl(SimHidController& owner, SimConfig cfg) : q(owner), config(std::move(cfg)) {
        config.reportLength = clampLength(config.reportLength);
    }

    int reportLength(DeviceKind kind) const override {
        switch (kind) {
        case DeviceKind::Tracker:
        case DeviceKind::Indicator:
            return faultsState.zeroReportLength ? 0 : config.reportLength;
        case DeviceKind::Boot:
            return config.reportLength;
        case DeviceKind::Unrelated:
            return 0;
        }
        return 0;
    }

    bool requestFaultsApply(DeviceKind kind) const override {
        switch (faultsState.target) {
        case FaultTarget::Both:
            return kind == DeviceKind::Tracker || kind == DeviceKind::Indicator;
        case FaultTarget::Tracker:
            return kind == DeviceKind::Tracker;
        case FaultTarget::Indicator:
            return kind == DeviceKind::Indicator;
        }
        return false;
    }

    Faults& faults() override { return faultsState; }
    void record(WireRecord entry) override { wire.push_back(std::move(entry)); }

    void enterBootloader(DeviceKind kind) override {
        plug(kind, false);
        plug(DeviceKind::Boot, true);
    }

    const DeviceIdentity& identity(DeviceKind kind) const {
        switch (kind) {
        case DeviceKind::Tracker:
            return config.tracker;
        case DeviceKind::Indicator:
            return config.indicator;
        case DeviceKind::Unrelated:
            return config.unrelated;
        case DeviceKind::Boot:
            break;
        }
        return config.boot;
    }

    bool& pluggedFlag(DeviceKind kind) {
        switch (kind) {
        case DeviceKind::Tracker:
            return config.trackerPlugged;
        case DeviceKind::Indicator:
            return config.indicatorPlugged;
        case DeviceKind::Unrelated:
            return config.unrelatedPlugged;
        case DeviceKind::Boot:
            break;
        }
        return config.bootPlugged;
    }

    std::unique_ptr<Firmware> firmware(DeviceKind kind) {
        switch (kind) {
        case DeviceKind::Tracker:
            return std::make_unique<TrackerFirmware>(tracker, faultsState);
        case DeviceKind::Indicator:
            return std::make_unique<IndicatorFirmware>(indicator);
        case DeviceKind::Unrelated:
        case DeviceKind::Boot:
            break;
        }
        return std::make_unique<SilentFirmware>();
    }

    // Plugs or unplugs without notifying.
    bool setPlugged(DeviceKind kind, bool plugged) {
        DevicePtr& current = plugged_[slot(kind)];
        if (plugged == (current != nullptr)) {
            return false;
        }
        if (plugged) {
            if (kind == DeviceKind::Tracker) {
                tracker.powerUp();
            }
            current =
                std::make_shared<SimDevice>(kind, identity(kind), ++serial, *this, firmware(kind));
        } else {
            current->gone = true;
            current.reset();
        }
        pluggedFlag(kind) = plugged;
        return true;
    }

    void plug(DeviceKind kind, bool plugged) {
        if (setPlugged(kind, plugged)) {
            queueChange();
        }
    }

    // Like a hotplug notification: one rescan on the event loop for any burst of changes.
    void queueChange() {
        if (changeQueued) {
            return;
        }
        changeQueued = true;
        QMetaObject::invokeMethod(
            &q,
            [this] {
                changeQueued = false;
                q.deviceChange();
            },
            Qt::QueuedConnection);
    }

    std::vector<DevicePtr> pluggedList() const {
        std::vector<DevicePtr> list;
        for (const DevicePtr& device : plugged_) {
            if (device) {
                list.push_back(device);
            }
        }
        return list;
    }

    SimHidController& q;
    SimConfig config;
    Faults faultsState;
    TrackerModel tracker;
    IndicatorModel indicator;
    std::vector<WireRecord> wire;
    std::array<DevicePtr, kDeviceKinds> plugged_; // the device plugged in per kind
    std::vector<DevicePtr> listed;                // the list of the last deviceChange()
    std::vector<DevicePtr> checkedOut;
    int serial = 0;
    int opens = 0;
    bool changeQueued = false;
    bool changedOnce = false;
};

SimHidController::SimHidController(SimConfig config, QObject* parent)
    : platform::HidController(parent), d(std::make_unique<Impl>(*this, std::move(config))) {
    const std::pair<DeviceKind, bool> initial[] = {
        {DeviceKind::Tracker, d->config.trackerPlugged},
        {DeviceKind::Indicator, d->config.indicatorPlugged},
        {DeviceKind::Unrelated, d->config.unrelatedPlugged},
        {DeviceKind::Boot, d->config.bootPlugged},
    };
    for (const auto& [kind, plugged] : initial) {
        d->pluggedFlag(kind) = false;
        d->setPlugged(kind, plugged);
    }
    d->listed = d->pluggedList();
}

SimHidController::~SimHidController() = default;

void SimHidController::enumerate(const EnumerateFn& fn) {
    // A copy: the handler may check devices out or trigger changes while we walk the list.
    const std::vector<DevicePtr> list = d->listed;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!fn(*list[i], static_cast<int>(i))) {
            break;
        }
    }
}

platform::HidDevice* SimHidController::checkOutByIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= d->listed.size()) {
        return nullptr;
    }
    const DevicePtr& device = d->listed[static_cast<std::size_t>(index)];
    if (device->checkedOut) {
        return nullptr;
    }
    if (device->gone) {
        emit problem(QStringLiteral("%1: cannot open: the device is no longer plugged in")
                         .arg(device->path()));
        return nullptr;
    }
    device->checkedOut = true;
    d->checkedOut.push_back(device);
    ++d->opens;
    return device.get();
}

void SimHidController::checkIn(platform::HidDevice* device) {
    const auto found = std::find_if(d->checkedOut.begin(), d->checkedOut.end(),
                                    [device](const DevicePtr& p) { return p.get() == device; });
    if (found == d->checkedOut.end()) {
        return; // null, not checked out, or not ours
    }
    (*found)->checkedOut = false;
    d->checkedOut.erase(found); // frees the object when it is unplugged and no longer listed
}

void SimHidController::deviceChange() {
    // `previous` keeps the departed devices alive while their unplug notifications run.
    const std::vector<DevicePtr> previous = std::move(d->listed);
    d->listed = d->pluggedList();
    const bool first = !d->changedOnce;
    d->changedOnce = true;
    const bool changed = previous != d->listed;
    for (const DevicePtr& device : previous) {
        if (std::find(d->listed.begin(), d->listed.end(), device) == d->listed.end()) {
            emit deviceUnplugged(device.get());
        }
    }
    if (changed || first) {
        emit deviceChanged();
    }
}

TrackerModel& SimHidController::tracker() {
    return d->tracker;
}

IndicatorModel& SimHidController::indicator() {
    return d->indicator;
}

Faults& SimHidController::faults() {
    return d->faultsState;
}

const SimConfig& SimHidController::config() const {
    return d->config;
}

void SimHidController::plugTracker(bool plugged) {
    d->plug(DeviceKind::Tracker, plugged);
}

void SimHidController::plugIndicator(bool plugged) {
    d->plug(DeviceKind::Indicator, plugged);
}

void SimHidController::plugUnrelated(bool plugged) {
    d->plug(DeviceKind::Unrelated, plugged);
}

void SimHidController::plugBootDevice(bool plugged) {
    d->plug(DeviceKind::Boot, plugged);
}

bool SimHidController::trackerPlugged() const {
    return d->plugged_[slot(DeviceKind::Tracker)] != nullptr;
}

bool SimHidController::indicatorPlugged() const {
    return d->plugged_[slot(DeviceKind::Indicator)] != nullptr;
}

bool SimHidController::unrelatedPlugged() const {
    return d->plugged_[slot(DeviceKind::Unrelated)] != nullptr;
}

bool SimHidController::bootDevicePlugged() const {
    return d->plugged_[slot(DeviceKind::Boot)] != nullptr;
}

void SimHidController::setReportLength(int length) {
    d->config.reportLength = clampLength(length);
}

int SimHidController::openCount() const {
    return d->opens;
}

int SimHidController::liveDeviceCount() const {
    std::vector<const SimDevice*> seen;
    const auto add = [&seen](const DevicePtr& device) {
        if (device && std::find(seen.begin(), seen.end(), device.get()) == seen.end()) {
            seen.push_back(device.get());
        }
    };
    std::for_each(d->plugged_.begin(), d->plugged_.end(), add);
    std::for_each(d->listed.begin(), d->listed.end(), add);
    std::for_each(d->checkedOut.begin(), d->checkedOut.end(), add);
    return static_cast<int>(seen.size());
}

const std::vector<WireRecord>& SimHidController::wire() const {
    return d->wire;
}

void SimHidController::clearWire() {
    d->wire.clear();
}

bool SimHidController::saveState(const QString& path, QString* error) const {
    return saveModelState(path, d->tracker, d->indicator, error);
}

bool SimHidController::loadState(const QString& path, QString* error) {
    return loadModelState(path, d->tracker, d->indicator, error);
}

} // namespace sim
