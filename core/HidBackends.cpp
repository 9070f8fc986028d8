#include "core/HidBackends.h"

#if defined(QCC_HAVE_HID_LINUX)
#include "platform/hid/linux/LinuxHid.h"
#endif

namespace core {

std::unique_ptr<platform::HidController> CreateSystemHidController() {
#if defined(QCC_HAVE_HID_LINUX)
    return createLinuxHidController();
#else
    return nullptr;
#endif
}

const char* SystemHidBackendName() {
#if defined(QCC_HAVE_HID_LINUX)
    return "hidraw";
#else
    return "";
#endif
}

#if defined(QCC_HAVE_SIM)
std::unique_ptr<sim::SimHidController> CreateSimHidController(const sim::SimConfig& config) {
    return std::make_unique<sim::SimHidController>(config);
}
#endif

} // namespace core
