#include "platform/hid/linux/LinuxHid.h"

#include "platform/hid/linux/HidapiOpen.h"
#include "platform/hid/linux/HidrawMonitor.h"
#include "platform/hid/linux/LinuxHidController.h"
#include "platform/hid/linux/UdevScan.h"

#include <QMetaObject>

namespace {

using namespace platform::hidraw;

class SystemHidraw final : public HidrawSystem {
public:
    std::vector<HidrawNode> scan() override { return scanHidrawNodes(); }
    OpenResult open(const QString& path) override { return openWithHidapi(path); }
};

} // namespace

std::unique_ptr<platform::HidController> createLinuxHidController(QObject* parent) {
    auto controller =
        std::make_unique<LinuxHidController>(std::make_unique<SystemHidraw>(), parent);
    LinuxHidController* target = controller.get();
    auto monitor = std::make_unique<HidrawMonitor>([target] { target->scheduleDeviceChange(); });
    if (!monitor->isActive()) {
        const QString message =
            QStringLiteral("HID devices plugged in or out are not noticed on their own: %1")
                .arg(monitor->error());
        // Queued, so that whoever connects to problem() right after creation hears it.
        QMetaObject::invokeMethod(
            target, [target, message] { emit target->problem(message); }, Qt::QueuedConnection);
    }
    controller->setMonitor(std::move(monitor));
    return controller;
}
