#pragma once
// One simulated HID device object: the wire side that every simulated device shares (report
// length and ID checks, injected request failures, the wire log, the pending reply) in front of
// its firmware model. Internal to the simulator.

#include "sim/Firmware.h"

#include <memory>

namespace sim {

enum class DeviceKind { Tracker = 0, Indicator = 1, Unrelated = 2, Boot = 3 };
constexpr int kDeviceKinds = 4;

// "tracker", "indicator", "unrelated", "boot".
QString kindName(DeviceKind kind);

// What a device asks of the controller that owns it. The host outlives its devices.
class DeviceHost {
public:
    virtual int reportLength(DeviceKind kind) const = 0;
    // Whether getFails / setFails apply to requests to this kind of device.
    virtual bool requestFaultsApply(DeviceKind kind) const = 0;
    virtual Faults& faults() = 0;
    virtual void record(WireRecord record) = 0;
    // The device has left for its bootloader: unplug it, plug the boot device in.
    virtual void enterBootloader(DeviceKind kind) = 0;

protected:
    ~DeviceHost() = default;
};

class SimDevice final : public platform::HidDevice {
public:
    SimDevice(DeviceKind kind, DeviceIdentity identity, int serial, DeviceHost& host,
              std::unique_ptr<Firmware> firmware);
    ~SimDevice() override;

    QString path() const override { return path_; }
    QString productName() const override { return identity_.product; }
    platform::HidAttributes attributes() const override;
    int featureReportLength() const override;

    // Fail (with lastError) when the device is not checked out (EBADF), unplugged (ENODEV), the
    // size is not the feature-report length (EINVAL, set only), the report ID is not 0x59 or
    // there is no feature report (EPIPE), or a fault is injected (EIO).
    bool getFeature(uint8_t* buffer, std::size_t size) override;
    bool setFeature(const uint8_t* buffer, std::size_t size) override;
    int lastError() const override { return lastError_; }

    DeviceKind kind() const { return kind_; }

    bool checkedOut = false;
    bool gone = false; // unplugged; the object lives on while checked out

private:
    bool fail(WireRecord& record, int error);

    DeviceKind kind_;
    DeviceIdentity identity_;
    QString path_;
    DeviceHost& host_;
    std::unique_ptr<Firmware> firmware_;
    PendingReply reply_;
    int lastError_ = 0;
};

} // namespace sim
