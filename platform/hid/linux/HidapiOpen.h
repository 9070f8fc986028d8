#pragma once
// Opens hidraw nodes through hidapi (the hidraw backend of hidapi, never the libusb one).
// Internal to the hidraw backend.

#include "platform/hid/linux/HidrawSystem.h"

#include <QString>

#include <cstddef>

namespace platform::hidraw {

// Environment variable that forbids opening real devices in this process. The test suite sets
// it so that no test can talk to hardware by accident; enumerating stays allowed.
inline constexpr char kNoRealHidVariable[] = "QUIVRA_NO_REAL_HID";

// The largest request passed to hidapi. The hidraw ioctls encode the length in 14 bits, so a
// longer one would be cut by the kernel; get-feature asks for at most this many bytes and a
// longer set-feature fails with EMSGSIZE.
inline constexpr std::size_t kMaxTransfer = 4096;

// Opens `path` with hid_open_path. Fails without touching the device while kNoRealHidVariable
// is set. The message names the path and the reason; a permission problem adds how to fix it.
OpenResult openWithHidapi(const QString& path);

// "Cannot open <path> (<reason>)", with a hint about udev rules for EACCES and EPERM.
QString openFailureMessage(const QString& path, int error);

} // namespace platform::hidraw
