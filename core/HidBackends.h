#pragma once
// Where the program gets its HID controller: the system's devices or the simulated ones. The one
// place that knows which backends are built.

#include "platform/hid/HidController.h"

#include <memory>

#if defined(QCC_HAVE_SIM)
#include "sim/SimHid.h"
#endif

namespace core {

// The system's HID devices (hidraw through hidapi and libudev). Null when this build has no
// hardware backend; the caller then runs without devices and says so.
std::unique_ptr<platform::HidController> CreateSystemHidController();

// Name of the hardware backend of this build, or an empty text when there is none.
const char* SystemHidBackendName();

#if defined(QCC_HAVE_SIM)
// Fresh simulated tracker and indicator.
std::unique_ptr<sim::SimHidController> CreateSimHidController(const sim::SimConfig& config = {});
#endif

} // namespace core
