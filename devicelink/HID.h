#pragma once
// TynqHidDevice: the feature-report channel to one HID device, and the framed long transfers
// built on it. Every report is the device's full feature-report length with the report ID in
// byte 0; what the caller hands in is padded with zeros or cut to that length.

#include "platform/hid/HidController.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>

// Reports of this device family.
namespace ynq {
constexpr uint8_t kReportId = 0x59;      // byte 0 of every report to either device
constexpr uint8_t kRequestHeader = 0xA5; // byte 1 of every request
constexpr uint8_t kShortCommand = 0x5A;  // byte 2 of a short command; byte 1 of a long-read reply
constexpr std::size_t kMaxReport = 1024; // the channel never moves more than this in one report
// Longest frame run of one long-read chunk: the first report and at most 16 follow-ups.
constexpr int kMaxFollowUps = 16;
// A device that keeps answering a long-read request with a wrong header gets this many requests
// in all before the read gives up (the first one included).
constexpr int kMaxHeaderRetries = 8;
} // namespace ynq

class TynqHidDevice {
public:
    // A new, unbound channel. With `logList` the trace goes there (not owned); without, the
    // channel keeps a list of its own.
    explicit TynqHidDevice(QStringList* logList = nullptr);
    virtual ~TynqHidDevice();

    TynqHidDevice(const TynqHidDevice&) = delete;
    TynqHidDevice& operator=(const TynqHidDevice&) = delete;

    // Binds (or, with null, unbinds) the device; sets FirmwareVer and FirmwareVerS from its
    // release number. The device stays owned by the HID controller.
    void SetHidDev(platform::HidDevice* hidDev);
    platform::HidDevice* CurrDev() const { return FCurrDev; }

    // Writes one feature report: the caller's bytes (at most 1024) cut or zero-padded to the
    // device's report length. False when unbound, the device has no feature report, or the
    // platform write fails.
    virtual bool SendFReport(std::span<const uint8_t> report);

    // Reads feature report `id` into `report`: clears all of it (when bound), puts the ID in
    // byte 0 and asks for the device's report length. False when unbound (report untouched), no
    // feature report, the report is longer than `report` (nothing asked; the array is never
    // overrun), or the platform read fails.
    virtual bool GetFReport(uint8_t id, std::span<uint8_t> report);

    // Reads `total` bytes of device memory starting at `address` into data[0..]: requests with
    // code cmd|0xC0, chunks with a CRC-16 each. True when all bytes arrived with good CRCs;
    // `received` counts the accepted bytes. Never stores past `data` or a 1024-byte buffer.
    virtual bool GetLongData(bool sendRequest, uint8_t reportId, uint8_t cmd, uint16_t total,
                             uint16_t address, std::span<uint8_t> data, uint16_t& received);

    // Writes data[0..length-1] to `address` as one frame with code cmd|0x80, cut into reports.
    // True when every report was written. False, nothing sent, when unbound, length is 0, or the
    // frame would not fit the 1024-byte buffer or `data`.
    virtual bool SetLongData(uint8_t reportId, uint8_t cmd, std::span<const uint8_t> data,
                             uint16_t length, uint16_t address);

    // Device's feature-report length now (asked afresh every time), 0 when unbound.
    int ReportLength() const;

    int Idx = -1;
    bool ParamIsRead = false;
    uint16_t FirmwareVer = 0;
    QString FirmwareVerS = QStringLiteral("Ver:--.--");
    int IcoSize = 128;
    bool DebugMode = false;
    QStringList* LogList = nullptr;
    bool OwnLogList = false;

protected:
    void Trace(const QString& line);

private:
    // The report length when the channel can move reports of it (1 .. 1024); 0 with a trace
    // line otherwise.
    int UsableReportLength();

    platform::HidDevice* FCurrDev = nullptr;
    std::unique_ptr<QStringList> ownLog_;
};
