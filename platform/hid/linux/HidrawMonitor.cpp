#include "platform/hid/linux/HidrawMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace platform::hidraw {

namespace {
// Events read per wake-up at most, so a flood of events cannot hold the event loop; the
// notifier fires again for whatever is left.
constexpr int kMaxEventsPerWake = 256;
} // namespace

void HidrawMonitor::UdevRef::operator()(udev* context) const {
    udev_unref(context);
}

void HidrawMonitor::MonitorRef::operator()(udev_monitor* monitor) const {
    udev_monitor_unref(monitor);
}

HidrawMonitor::HidrawMonitor(std::function<void()> onChange) : m_onChange(std::move(onChange)) {
    m_udev.reset(udev_new());
    if (!m_udev) {
        m_error = QStringLiteral("udev is not available");
        return;
    }
    // "udev" events come after udev has set up the node (permissions, symlinks), unlike the
    // raw "kernel" ones.
    m_monitor.reset(udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor.get()) < 0) {
        m_monitor.reset();
        m_error = QStringLiteral("the udev monitor could not be set up");
        return;
    }
    const int fd = udev_monitor_get_fd(m_monitor.get());
    if (fd < 0) {
        m_monitor.reset();
        m_error = QStringLiteral("the udev monitor has no socket");
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { drain(); });
}

HidrawMonitor::~HidrawMonitor() = default;

void HidrawMonitor::drain() {
    // The monitor socket does not block: receive_device returns null once it is empty.
    int events = 0;
    while (events < kMaxEventsPerWake) {
        udev_device* device = udev_monitor_receive_device(m_monitor.get());
        if (!device) {
            break;
        }
        udev_device_unref(device);
        ++events;
    }
    if (events > 0 && m_onChange) {
        m_onChange();
    }
}

} // namespace platform::hidraw
