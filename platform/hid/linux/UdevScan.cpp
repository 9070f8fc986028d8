#include "platform/hid/linux/UdevScan.h"

#include "platform/hid/linux/ReportDescriptor.h"

#include <QFile>
#include <QStringList>

#include <libudev.h>

#include <memory>
#include <span>

namespace platform::hidraw {

namespace {

template <auto Unref> struct UdevUnref {
    template <class T> void operator()(T* object) const { Unref(object); }
};
using UdevPtr = std::unique_ptr<udev, UdevUnref<udev_unref>>;
using EnumeratePtr = std::unique_ptr<udev_enumerate, UdevUnref<udev_enumerate_unref>>;
using DevicePtr = std::unique_ptr<udev_device, UdevUnref<udev_device_unref>>;

// Report descriptors are at most 4096 bytes (the kernel's HID_MAX_DESCRIPTOR_SIZE); reading a
// little more costs nothing and shows a longer one as it is.
constexpr qint64 kMaxDescriptorRead = 65536;

// Exactly 1..maxDigits hexadecimal digits (maxDigits <= 8), nothing else.
std::optional<uint32_t> parseHex(const QString& text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const QChar c : text) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | uint32_t(digit);
    }
    return value;
}

QString property(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_property_value(device, name) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

QString sysattr(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

int featureLengthAt(const QString& descriptorPath) {
    QFile file(descriptorPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray bytes = file.read(kMaxDescriptorRead);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    return summarizeReportDescriptor(std::span(data, std::size_t(bytes.size())))
        .featureReportLength;
}

std::optional<HidrawNode> describe(udev_device* hidraw) {
    const char* devnode = udev_device_get_devnode(hidraw);
    if (!devnode) {
        return std::nullopt;
    }
    HidrawNode node;
    node.path = QString::fromUtf8(devnode);

    // The parents belong to the child device; they are not unreferenced here.
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (const auto id = parseHidId(property(hid, "HID_ID"))) {
        node.attributes.vendorId = id->vendorId;
        node.attributes.productId = id->productId;
    }
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
    if (const auto bcd = parseBcdDevice(sysattr(usb, "bcdDevice"))) {
        node.attributes.release = *bcd;
    }
    node.productName = sysattr(usb, "product");
    if (node.productName.isEmpty()) {
        node.productName = property(hid, "HID_NAME");
    }
    node.featureReportLength = featureLengthAt(QString::fromUtf8(udev_device_get_syspath(hidraw)) +
                                               QStringLiteral("/device/report_descriptor"));
    return node;
}

} // namespace

std::optional<HidId> parseHidId(const QString& text) {
    const QStringList fields = text.trimmed().split(u':');
    if (fields.size() != 3 || !parseHex(fields[0], 8)) {
        return std::nullopt;
    }
    const auto vendor = parseHex(fields[1], 8);
    const auto product = parseHex(fields[2], 8);
    if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    return HidId{uint16_t(*vendor), uint16_t(*product)};
}

std::optional<uint16_t> parseBcdDevice(const QString& text) {
    const auto value = parseHex(text.trimmed(), 4);
    if (!value) {
        return std::nullopt;
    }
    return uint16_t(*value);
}

std::vector<HidrawNode> scanHidrawNodes() {
    std::vector<HidrawNode> nodes;
    const UdevPtr context(udev_new());
    if (!context) {
        return nodes;
    }
    const EnumeratePtr enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        return nodes;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const DevicePtr device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device) {
            continue; // gone since the enumeration
        }
        if (auto node = describe(device.get())) {
            nodes.push_back(std::move(*node));
        }
    }
    return nodes;
}

} // namespace platform::hidraw
