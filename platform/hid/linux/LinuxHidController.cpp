#include "platform/hid/linux/LinuxHidController.h"

#include "platform/hid/linux/HidrawMonitor.h"

#include <QMetaObject>

#include <algorithm>

namespace platform::hidraw {

namespace {

// Keeps the busy depth raised for a scope, so device objects survive nested calls.
class BusyScope {
public:
    explicit BusyScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~BusyScope() { --m_depth; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& m_depth;
};

} // namespace

LinuxHidController::LinuxHidController(std::unique_ptr<HidrawSystem> system, QObject* parent)
    : HidController(parent), m_system(std::move(system)) {}

LinuxHidController::~LinuxHidController() = default;

void LinuxHidController::setMonitor(std::unique_ptr<HidrawMonitor> monitor) {
    m_monitor = std::move(monitor);
}

std::size_t LinuxHidController::liveDeviceCount() const {
    return m_plugged.size() + m_unplugged.size() + m_leaving.size();
}

void LinuxHidController::scheduleDeviceChange() {
    if (m_changePending) {
        return;
    }
    m_changePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_changePending = false;
            deviceChange();
        },
        Qt::QueuedConnection);
}

void LinuxHidController::enumerate(const EnumerateFn& fn) {
    if (!fn) {
        return;
    }
    const BusyScope busy(m_busy);
    const unsigned generation = m_generation;
    // A snapshot: fn may check devices out or rescan; the objects stay alive while m_busy > 0.
    std::vector<HidrawDevice*> snapshot;
    snapshot.reserve(m_plugged.size());
    for (const auto& device : m_plugged) {
        snapshot.push_back(device.get());
    }
    for (std::size_t i = 0; i < snapshot.size() && generation == m_generation; ++i) {
        if (!fn(*snapshot[i], int(i))) {
            break;
        }
    }
    if (m_busy == 1) {
        releaseIdle();
    }
}

HidDevice* LinuxHidController::checkOutByIndex(int index) {
    if (index < 0 || std::size_t(index) >= m_plugged.size()) {
        return nullptr;
    }
    HidrawDevice* device = m_plugged[std::size_t(index)].get();
    if (device->isCheckedOut()) {
        return nullptr;
    }
    OpenResult opened = m_system->open(device->path());
    if (!opened.handle) {
        emit problem(opened.message);
        return nullptr;
    }
    device->checkOut(std::move(opened.handle));
    return device;
}

void LinuxHidController::checkIn(HidDevice* device) {
    if (!device) {
        return;
    }
    // Only a pointer this controller handed out is touched; compare before any cast.
    for (auto& held : m_plugged) {
        if (held.get() == device) {
            held->checkIn();
            return;
        }
    }
    for (auto& held : m_leaving) {
        if (held.get() == device) {
            held->checkIn(); // freed once its notifications are over
            return;
        }
    }
    const auto gone = std::find_if(m_unplugged.begin(), m_unplugged.end(),
                                   [device](const auto& held) { return held.get() == device; });
    if (gone != m_unplugged.end()) {
        m_unplugged.erase(gone); // closes and frees it
    }
}

void LinuxHidController::deviceChange() {
    const BusyScope busy(m_busy);
    std::vector<HidrawNode> nodes = m_system->scan();
    std::sort(nodes.begin(), nodes.end(), [](const HidrawNode& a, const HidrawNode& b) {
        return naturalPathLess(a.path, b.path);
    });
    // Two nodes with one path cannot both be real; keep the first.
    nodes.erase(
        std::unique(nodes.begin(), nodes.end(),
                    [](const HidrawNode& a, const HidrawNode& b) { return a.path == b.path; }),
        nodes.end());

    std::vector<std::unique_ptr<HidrawDevice>> previous = std::move(m_plugged);
    m_plugged.clear();
    bool changed = false;
    for (HidrawNode& node : nodes) {
        const auto same = std::find_if(previous.begin(), previous.end(), [&node](const auto& old) {
            return old && sameDevice(old->node(), node);
        });
        if (same != previous.end()) {
            m_plugged.push_back(std::move(*same));
        } else {
            m_plugged.push_back(std::make_unique<HidrawDevice>(std::move(node)));
            changed = true;
        }
    }
    // What is left in `previous` has disappeared. Those objects stay in m_leaving until the
    // outermost call is over, so every notification below hands out a live pointer.
    std::vector<HidrawDevice*> gone;
    for (auto& old : previous) {
        if (old) {
            old->markUnplugged();
            gone.push_back(old.get());
            m_leaving.push_back(std::move(old));
        }
    }
    changed = changed || !gone.empty();
    if (changed) {
        ++m_generation;
    }
    const bool first = !m_scanned;
    m_scanned = true;

    for (HidrawDevice* device : gone) {
        emit deviceUnplugged(device);
    }
    if (changed || first) {
        emit deviceChanged();
    }
    if (m_busy == 1) {
        releaseIdle();
    }
}

void LinuxHidController::releaseIdle() {
    for (auto& device : m_leaving) {
        if (device->isCheckedOut()) {
            m_unplugged.push_back(std::move(device));
        }
    }
    m_leaving.clear(); // frees the ones nobody checked out
}

} // namespace platform::hidraw
