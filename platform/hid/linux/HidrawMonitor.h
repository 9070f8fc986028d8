#pragma once
// Follows hidraw nodes appearing and disappearing: a udev monitor whose socket is watched from
// the Qt event loop. Internal to the hidraw backend.

#include <QString>

#include <functional>
#include <memory>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace platform::hidraw {

class HidrawMonitor {
public:
    // Calls `onChange` from the event loop after udev reported one or more hidraw events (all
    // events pending at that moment are read first, so a burst gives one call). Must be created
    // on a thread with a Qt event loop.
    explicit HidrawMonitor(std::function<void()> onChange);
    ~HidrawMonitor();
    HidrawMonitor(const HidrawMonitor&) = delete;
    HidrawMonitor& operator=(const HidrawMonitor&) = delete;

    // False when udev could not provide a monitor; error() then tells why and nothing is
    // followed (explicit rescans still work).
    bool isActive() const { return m_notifier != nullptr; }
    QString error() const { return m_error; }

private:
    void drain();

    struct UdevRef {
        void operator()(udev* context) const;
    };
    struct MonitorRef {
        void operator()(udev_monitor* monitor) const;
    };

    std::function<void()> m_onChange;
    std::unique_ptr<udev, UdevRef> m_udev;
    std::unique_ptr<udev_monitor, MonitorRef> m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier; // last: stops watching before the rest goes
    QString m_error;
};

} // namespace platform::hidraw
