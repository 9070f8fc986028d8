#pragma once
// The HID controller over hidraw. Internal to the backend; the program gets one through
// createLinuxHidController() (LinuxHid.h).

#include "platform/hid/HidController.h"
#include "platform/hid/linux/HidrawDevice.h"
#include "platform/hid/linux/HidrawSystem.h"

#include <memory>
#include <vector>

namespace platform::hidraw {

class HidrawMonitor;

class LinuxHidController final : public HidController {
    Q_OBJECT
public:
    // Scans and opens through `system`. The list stays empty until the first deviceChange().
    explicit LinuxHidController(std::unique_ptr<HidrawSystem> system, QObject* parent = nullptr);
    ~LinuxHidController() override;

    // Devices are listed sorted by path (naturalPathLess), so indexes stay stable. If a nested
    // rescan changes the list while fn runs, enumeration stops there: the indexes it handed
    // out no longer match.
    void enumerate(const EnumerateFn& fn) override;
    // Emits problem() with the path and the reason when the open fails.
    HidDevice* checkOutByIndex(int index) override;
    // Ignores null and devices this controller does not own.
    void checkIn(HidDevice* device) override;
    // A node counts as the same device when its path and identity are unchanged; a node whose
    // identity changed (another device got the number) is reported unplugged and listed anew.
    // Device objects stay valid during the notifications, also for handlers that rescan again.
    void deviceChange() override;
    QString backendName() const override { return QStringLiteral("hidraw"); }

    // Asks for a deviceChange() from the event loop; requests made before it runs fold into one.
    void scheduleDeviceChange();
    // Follows hot-plugging through `monitor` (its callback should call scheduleDeviceChange).
    void setMonitor(std::unique_ptr<HidrawMonitor> monitor);

    // Device objects alive: the listed ones plus unplugged ones still checked out.
    std::size_t liveDeviceCount() const;

private:
    // Frees unplugged devices that nobody holds any more, once no notification is running.
    void releaseIdle();

    std::unique_ptr<HidrawSystem> m_system;
    std::vector<std::unique_ptr<HidrawDevice>> m_plugged;   // list order
    std::vector<std::unique_ptr<HidrawDevice>> m_unplugged; // gone, still checked out
    std::vector<std::unique_ptr<HidrawDevice>> m_leaving;   // gone, notifications still running
    int m_busy = 0;            // nesting depth of deviceChange() and enumerate()
    unsigned m_generation = 0; // counts list changes
    bool m_scanned = false;
    bool m_changePending = false;
    std::unique_ptr<HidrawMonitor> m_monitor; // last: stops watching first
};

} // namespace platform::hidraw
