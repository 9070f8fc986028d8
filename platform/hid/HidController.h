#pragma once
// The one seam through which the program reaches HID devices. Real hardware (linux/) and the
// simulated devices (sim/) both sit behind it, so the core cannot tell them apart.

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace platform {

// Identifiers from the USB device descriptor.
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0; // bcdDevice, e.g. 0x0102 for firmware 01.02
};

// One HID device as the controller lists it. Owned by the HidController; callers only borrow it.
// A device that was checked out stays valid after it is unplugged, until it is checked in.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    // Where the device lives on this system (a hidraw node, or "sim:<name>"); unique per device.
    virtual QString path() const = 0;
    // The product string the device reports (may carry blanks at either end).
    virtual QString productName() const = 0;
    virtual HidAttributes attributes() const = 0;
    // Length in bytes of the longest feature report including the report-ID byte, as Windows
    // reports FeatureReportByteLength; 0 when the device has no feature report.
    virtual int featureReportLength() const = 0;

    // Get-feature: buffer[0] selects the report ID; fills at most `size` bytes. Returns false when
    // the device is not checked out, gone, or the request failed; lastError() then tells why.
    virtual bool getFeature(uint8_t* buffer, std::size_t size) = 0;
    // Set-feature of exactly `size` bytes (buffer[0] is the report ID). A short write is a failure.
    virtual bool setFeature(const uint8_t* buffer, std::size_t size) = 0;

    // errno-style code of the last request (0 after a success).
    virtual int lastError() const = 0;
};

// Lists the system's HID devices, follows plugging and unplugging, and hands devices out.
// Notifications arrive through the Qt event loop; deviceChange() raises them synchronously.
class HidController : public QObject {
    Q_OBJECT
public:
    using EnumerateFn = std::function<bool(HidDevice& device, int index)>;

    using QObject::QObject;
    ~HidController() override = default;

    // Calls fn once per plugged-in device in list order with its index; stops when fn returns
    // false. The list is the one of the last deviceChange().
    virtual void enumerate(const EnumerateFn& fn) = 0;

    // Opens the device at `index` for this program. Returns nullptr when the index is out of
    // range, the device is already checked out, or it cannot be opened (a problem() is raised
    // with the path and the reason). The controller keeps ownership.
    virtual HidDevice* checkOutByIndex(int index) = 0;

    // Closes a checked-out device; frees it when it is no longer plugged in. Null is ignored.
    virtual void checkIn(HidDevice* device) = 0;

    // Rescans now. Emits deviceUnplugged for every device that disappeared, then deviceChanged
    // when the list changed. The first call after creation always emits deviceChanged.
    virtual void deviceChange() = 0;

    // Short name of the backend, for diagnostics ("hidraw", "simulator").
    virtual QString backendName() const = 0;

signals:
    void deviceChanged();
    void deviceUnplugged(platform::HidDevice* device);
    // Something about a device that the user can fix (permissions, a device that vanished).
    void problem(const QString& message);
};

} // namespace platform
