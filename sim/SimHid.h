#pragma once
// Simulated tracker and indicator behind the same HidController seam as real hardware.
// The firmware models answer the program's commands the way the devices do; faults can be
// injected to exercise the error paths. Nothing here touches the system's HID devices.

#include "platform/hid/HidController.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

// Identifiers one simulated device shows to the program.
struct DeviceIdentity {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0x0102;
    QString product;
};

struct SimConfig {
    DeviceIdentity tracker{0x1209, 0xA7B1, 0x0102, QStringLiteral("Quivra Tracker")};
    DeviceIdentity indicator{0x1209, 0xA7B2, 0x0102, QStringLiteral("Quivra RavadOrora")};
    int reportLength = 65; // feature-report length of both devices, report ID included (10..256)
    bool trackerPlugged = true;
    bool indicatorPlugged = true;
};

// Faults the models inject. Counters count down once per affected exchange; -1 means "always".
struct Faults {
    int getFails = 0;        // get-feature requests that fail (no reply)
    int setFails = 0;        // set-feature requests that fail
    int wrongHeader = 0;     // long-read replies whose byte 1 is 0x00 instead of 0x5A
    int wrongCrc = 0;        // long-read chunks whose CRC field is wrong
    int zeroChunk = 0;       // long-read replies announcing a chunk length of 0
    int followUpFails = 0;   // follow-up reports of a chunk that fail
    int chunkLimit = 0;      // >0: long reads are answered in chunks of at most this many bytes
    int hostileLength = 0;   // >0: long-read replies announce this chunk length (e.g. 65535)
    int centerBadStatus = 0; // set-centre replies with byte 4 other than 0x88
    int centerBadEcho = 0;   // set-centre replies whose bytes 5..8 are not the complements
    bool zeroReportLength = false; // both devices report feature-report length 0
};

// Firmware model of the tracker.
class TrackerModel {
public:
    TrackerModel();
    std::array<uint8_t, 124> eeprom{}; // the parameter block as stored; plausible defaults
    std::array<uint8_t, 124> ram{};
    bool on = false;
    bool offKeepsValue = false;     // last off command was "keep current value"
    int centreCount = 0;            // set-centre commands received
    int resetCentreCount = 0;
    int restarts = 0;
    int clearedParams = 0;
    uint16_t histogram = 12345;     // value the histogram reply carries
    // Simulated head, degrees; drives the joystick output.
    double headYaw = 0.0, headPitch = 0.0;
    double centreYaw = 0.0, centrePitch = 0.0;
    // Joystick output 0..65535 (centre 32767); holds its value while off unless returned.
    uint16_t axisX = 32767, axisY = 32767;
    void updateAxes();
    void restoreDefaults(); // factory parameter block
};

// Firmware model of the indicator.
class IndicatorModel {
public:
    uint8_t mask = 0;                 // last mask byte received
    bool irOn = false, blueOn = false, redOn = false;
    uint8_t irLevel = 0, blueLevel = 0, redLevel = 0;
    int restarts = 0;
};

// One report that crossed the seam, for tests that check bytes on the wire.
struct WireRecord {
    enum class Kind { Set, Get } kind;
    QString device;   // "tracker", "indicator", "unrelated", "boot"
    QByteArray bytes; // the report as written, or as answered
    bool ok;
};

class SimHidController : public platform::HidController {
    Q_OBJECT
public:
    explicit SimHidController(SimConfig config = {}, QObject* parent = nullptr);
    ~SimHidController() override;

    // HidController
    void enumerate(const EnumerateFn& fn) override;
    platform::HidDevice* checkOutByIndex(int index) override;
    void checkIn(platform::HidDevice* device) override;
    void deviceChange() override;
    QString backendName() const override { return QStringLiteral("simulator"); }

    TrackerModel& tracker();
    IndicatorModel& indicator();
    Faults& faults();
    const SimConfig& config() const;

    // Plugging: changes the plugged list and, like a real hotplug notification, queues a
    // deviceChange() on the event loop.
    void plugTracker(bool plugged);
    void plugIndicator(bool plugged);
    void plugUnrelated(bool plugged);    // an unrelated HID device (a mouse-like thing)
    bool trackerPlugged() const;
    bool indicatorPlugged() const;
    bool bootDevicePlugged() const;      // "YNQ-Boot" after a tracker/indicator bootloader entry
    void plugBootDevice(bool plugged);   // e.g. to start with a device in bootloader mode
    void setReportLength(int length);    // 10..256; both devices

    // Every report since the last clear.
    const std::vector<WireRecord>& wire() const;
    void clearWire();

    // Keeps the models' memory (EEPROM, RAM, on state, LEDs) across runs. Load returns false with
    // a message in `error` for a missing or malformed file and leaves the models as they were.
    bool saveState(const QString& path, QString* error = nullptr) const;
    bool loadState(const QString& path, QString* error = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sim
