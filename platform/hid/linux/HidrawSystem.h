#pragma once
// What the hidraw controller needs from the operating system, behind a small interface so the
// controller's bookkeeping can be exercised with scripted nodes. Internal to the backend.

#include "platform/hid/HidController.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::hidraw {

// One hidraw node as a scan found it.
struct HidrawNode {
    QString path;        // devnode, e.g. "/dev/hidraw3"; the key that identifies the device
    QString productName; // USB "product" string, else the kernel's HID_NAME
    HidAttributes attributes;
    int featureReportLength = 0; // from the report descriptor; 0 when it has no feature report
};

// Two scans saw the same device: same node and same identity. A node whose identity changed
// was re-used by another device between the scans.
bool sameDevice(const HidrawNode& a, const HidrawNode& b);

// Orders paths with their digit runs compared as numbers, so /dev/hidraw2 sorts before
// /dev/hidraw10. A strict weak ordering; paths equal as numbers fall back to plain comparison.
bool naturalPathLess(const QString& a, const QString& b);

// An open device. Destroying it closes the device.
class HidrawHandle {
public:
    virtual ~HidrawHandle() = default;
    // Get-feature with buffer[0] as the report ID. Writes at most `size` bytes; returns the
    // number of bytes the device delivered, or -errno.
    virtual long getFeature(uint8_t* buffer, std::size_t size) = 0;
    // Set-feature of `size` bytes; returns the number of bytes written, or -errno.
    virtual long sendFeature(const uint8_t* buffer, std::size_t size) = 0;
};

struct OpenResult {
    std::unique_ptr<HidrawHandle> handle; // null when the open failed
    int error = 0;                        // errno-style reason when it failed
    QString message;                      // for the user: path, reason and, where it helps, a fix
};

class HidrawSystem {
public:
    virtual ~HidrawSystem() = default;
    // Every hidraw node present now, in any order.
    virtual std::vector<HidrawNode> scan() = 0;
    virtual OpenResult open(const QString& path) = 0;
};

} // namespace platform::hidraw
