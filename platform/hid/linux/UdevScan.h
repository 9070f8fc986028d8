#pragma once
// Lists the hidraw nodes through libudev and sysfs. Internal to the hidraw backend.

#include "platform/hid/linux/HidrawSystem.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::hidraw {

// Every hidraw node that has a devnode, in udev's order. Identifiers that cannot be read are 0,
// a missing product name is empty, an unreadable report descriptor gives length 0. Returns an
// empty list when udev itself is unavailable.
std::vector<HidrawNode> scanHidrawNodes();

struct HidId {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// Parses the HID_ID property of a hid device, "BBBB:VVVVVVVV:PPPPPPPP" in hexadecimal (bus,
// vendor, product). nullopt when the text has another shape or an identifier beyond 16 bits.
std::optional<HidId> parseHidId(const QString& text);

// Parses the "bcdDevice" attribute of a USB device (four hexadecimal digits, e.g. "0102").
// nullopt when it is not a 16-bit hexadecimal number.
std::optional<uint16_t> parseBcdDevice(const QString& text);

} // namespace platform::hidraw
