#pragma once
// One hidraw node as the controller hands it out. Internal to the hidraw backend.

#include "platform/hid/HidController.h"
#include "platform/hid/linux/HidrawSystem.h"

#include <memory>

namespace platform::hidraw {

class HidrawDevice final : public HidDevice {
public:
    explicit HidrawDevice(HidrawNode node);

    QString path() const override { return m_node.path; }
    QString productName() const override { return m_node.productName; }
    HidAttributes attributes() const override { return m_node.attributes; }
    int featureReportLength() const override { return m_node.featureReportLength; }

    // Both fail with ENODEV unless the device is checked out and still plugged in, and with
    // EINVAL for a zero size or a null buffer. A get-feature that delivers fewer bytes than
    // asked succeeds; a set-feature that writes fewer than `size` fails with EIO.
    bool getFeature(uint8_t* buffer, std::size_t size) override;
    bool setFeature(const uint8_t* buffer, std::size_t size) override;
    int lastError() const override { return m_lastError; }

    const HidrawNode& node() const { return m_node; }
    bool isCheckedOut() const { return m_checkedOut; }
    bool isPlugged() const { return m_plugged; }

    // The controller's side: an open handle makes the device checked out; checkIn closes it.
    void checkOut(std::unique_ptr<HidrawHandle> handle);
    void checkIn();
    // The node is gone: the handle is closed at once, the device stays checked out (and
    // refuses requests) until checkIn.
    void markUnplugged();

private:
    bool ready(const void* buffer, std::size_t size);

    HidrawNode m_node;
    std::unique_ptr<HidrawHandle> m_handle;
    bool m_checkedOut = false;
    bool m_plugged = true;
    int m_lastError = 0;
};

} // namespace platform::hidraw
