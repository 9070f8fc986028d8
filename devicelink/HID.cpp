#include "devicelink/HID.h"

#include "devicelink/Utils.h"

#include <algorithm>
#include <array>
#include <cstring>

using YnqUtils::HexBytes;

namespace {

QString Hex2(uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); }

} // namespace

TynqHidDevice::TynqHidDevice(QStringList* logList) {
    if (logList) {
        LogList = logList;
        OwnLogList = false;
    } else {
        ownLog_ = std::make_unique<QStringList>();
        LogList = ownLog_.get();
        OwnLogList = true;
    }
}

TynqHidDevice::~TynqHidDevice() = default;

void TynqHidDevice::SetHidDev(platform::HidDevice* hidDev) {
    FCurrDev = hidDev;
    if (!hidDev) {
        FirmwareVerS = QStringLiteral("Ver:--.--");
        FirmwareVer = 0;
        return;
    }
    FirmwareVer = hidDev->attributes().release;
    const QString digits = QStringLiteral("%1").arg(FirmwareVer, 4, 16, QLatin1Char('0')).toUpper();
    FirmwareVerS = QStringLiteral("Ver:") + digits.left(2) + QLatin1Char('.') + digits.mid(2, 2);
}

int TynqHidDevice::ReportLength() const { return FCurrDev ? FCurrDev->featureReportLength() : 0; }

int TynqHidDevice::UsableReportLength() {
    const int length = ReportLength();
    if (length <= 0) {
        Trace(QStringLiteral("Feature Report not supported"));
        return 0;
    }
    if (static_cast<std::size_t>(length) > ynq::kMaxReport) {
        Trace(QStringLiteral("Feature Report too long [%1]").arg(length));
        return 0;
    }
    return length;
}

void TynqHidDevice::Trace(const QString& line) {
    if (DebugMode && LogList)
        LogList->append(line);
}

bool TynqHidDevice::SendFReport(std::span<const uint8_t> report) {
    if (!FCurrDev) {
        Trace(QStringLiteral("HidDevice not assigned"));
        return false;
    }
    const int length = UsableReportLength();
    if (length == 0)
        return false;
    std::array<uint8_t, ynq::kMaxReport> buffer{};
    std::copy_n(report.begin(), std::min(report.size(), buffer.size()), buffer.begin());
    const bool ok = FCurrDev->setFeature(buffer.data(), static_cast<std::size_t>(length));
    if (DebugMode) {
        const auto data = std::span<const uint8_t>(buffer).subspan(1, length - 1);
        Trace(QStringLiteral("Hex Write\tID[") + Hex2(buffer[0]) + QStringLiteral("]\t") +
              HexBytes(data));
        if (!ok)
            Trace(QStringLiteral("Write - Error in SetFeature"));
    }
    return ok;
}

bool TynqHidDevice::GetFReport(uint8_t id, std::span<uint8_t> report) {
    if (!FCurrDev) {
        Trace(QStringLiteral("HidDevice not assigned"));
        return false;
    }
    std::fill(report.begin(), report.end(), uint8_t{0});
    const int length = UsableReportLength();
    if (length == 0)
        return false;
    // The whole report is read into a buffer of our own and cut to the caller's array, so a
    // device with a longer report than the caller expects can never overrun it.
    std::array<uint8_t, ynq::kMaxReport> buffer{};
    buffer[0] = id;
    const bool ok = FCurrDev->getFeature(buffer.data(), static_cast<std::size_t>(length));
    std::copy_n(buffer.begin(), std::min(report.size(), static_cast<std::size_t>(length)),
                report.begin());
    if (!report.empty() && !ok)
        report[0] = id;
    if (DebugMode) {
        if (!ok)
            Trace(QStringLiteral("Read - Error in GetFeature"));
        const auto data = std::span<const uint8_t>(buffer).subspan(1, length - 1);
        Trace(QStringLiteral("Hex Read \tID[") + Hex2(buffer[0]) + QStringLiteral("]\t") +
              HexBytes(data));
    }
    return ok;
}
