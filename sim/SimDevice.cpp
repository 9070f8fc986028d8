#include "sim/SimDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sim {

QString kindName(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Tracker:
        return QStringLiteral("tracker");
    case DeviceKind::Indicator:
        return QStringLiteral("indicator");
    case DeviceKind::Unrelated:
        return QStringLiteral("unrelated");
    case DeviceKind::Boot:
        return QStringLiteral("boot");
    }
    return QStringLiteral("unknown");
}

SimDevice::SimDevice(DeviceKind kind, DeviceIdentity identity, int serial, DeviceHost& host,
                     std::unique_ptr<Firmware> firmware)
    : kind_(kind), identity_(std::move(identity)),
      path_(QStringLiteral("sim:%1/%2").arg(kindName(kind)).arg(serial)), host_(host),
      firmware_(std::move(firmware)) {}

SimDevice::~SimDevice() = default;

platform::HidAttributes SimDevice::attributes() const {
    return {identity_.vendorId, identity_.productId, identity_.release};
}

int SimDevice::featureReportLength() const {
    return host_.reportLength(kind_);
}

bool SimDevice::fail(WireRecord& record, int error) {
    lastError_ = error;
    record.ok = false;
    host_.record(std::move(record));
    return false;
}

bool SimDevice::getFeature(uint8_t* buffer, std::size_t size) {
    WireRecord record{WireRecord::Kind::Get, kindName(kind_), {}, false};
    if (buffer == nullptr || size == 0) {
        return fail(record, EINVAL);
    }
    if (!checkedOut) {
        return fail(record, EBADF);
    }
    if (gone) {
        return fail(record, ENODEV);
    }
    const int length = featureReportLength();
    if (length <= 0 || buffer[0] != proto::kReportId) {
        return fail(record, EPIPE);
    }
    Faults& faults = host_.faults();
    if (host_.requestFaultsApply(kind_) && takeFault(faults.getFails)) {
        return fail(record, EIO);
    }
    const PendingReply::Entry* entry = reply_.current();
    if (entry != nullptr && entry->followUp && takeFault(faults.followUpFails)) {
        return fail(record, EIO);
    }

    Report answer = emptyReport(static_cast<std::size_t>(length));
    if (entry != nullptr) {
        std::copy_n(entry->bytes.begin(), std::min(entry->bytes.size(), answer.size()),
                    answer.begin());
        answer[0] = proto::kReportId;
    }
    const std::size_t filled = std::min(size, answer.size());
    std::memcpy(buffer, answer.data(), filled);
    reply_.advance();

    lastError_ = 0;
    record.bytes =
        QByteArray(reinterpret_cast<const char*>(answer.data()), static_cast<qsizetype>(filled));
    record.ok = true;
    host_.record(std::move(record));
    return true;
}

bool SimDevice::setFeature(const uint8_t* buffer, std::size_t size) {
    WireRecord record{WireRecord::Kind::Set, kindName(kind_), {}, false};
    if (buffer == nullptr) {
        return fail(record, EINVAL);
    }
    record.bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    if (!checkedOut) {
        return fail(record, EBADF);
    }
    if (gone) {
        return fail(record, ENODEV);
    }
    const int length = featureReportLength();
    if (length <= 0 || size != static_cast<std::size_t>(length)) {
        return fail(record, EINVAL);
    }
    if (buffer[0] != proto::kReportId) {
        return fail(record, EPIPE);
    }
    if (host_.requestFaultsApply(kind_) && takeFault(host_.faults().setFails)) {
        return fail(record, EIO);
    }

    const Outcome outcome = firmware_->receive(std::span<const uint8_t>(buffer, size), reply_);
    lastError_ = 0;
    record.ok = true;
    host_.record(std::move(record));
    if (outcome == Outcome::EnterBootloader) {
        // The device stays alive: it is checked out, so unplugging only marks it gone.
        host_.enterBootloader(kind_);
    }
    return true;
}

} // namespace sim
