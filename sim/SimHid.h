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
    int reportLength = 65; // feature-report length of both devices, report ID included (10..256;
                           // values outside are clamped into that range)
    bool trackerPlugged = true;
    bool indicatorPlugged = true;
    // A HID device of no interest to the program (no feature report), and the bootloader that a
    // device turns into after 0x3B, 0x55. Both are listed after the tracker and the indicator.
    DeviceIdentity unrelated{0x046D, 0xC077, 0x7200, QStringLiteral("USB Optical Mouse")};
    DeviceIdentity boot{0x1209, 0xB007, 0x0100, QStringLiteral("YNQ-Boot")};
    bool unrelatedPlugged = false;
    bool bootPlugged = false;
};

// Which devices getFails and setFails hit.
enum class FaultTarget { Both, Tracker, Indicator };

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
    bool zeroReportLength = false;          // both devices report feature-report length 0
    FaultTarget target = FaultTarget::Both; // devices that getFails / setFails apply to
};

// Size of the tracker's parameter block, in EEPROM and in RAM.
constexpr int kBlockSize = 124;

// Firmware model of the tracker: its memory and what it did. The controller keeps one for the
// whole run, so EEPROM contents survive unplugging; each plugged device object talks to it.
class TrackerModel {
public:
    TrackerModel();                    // factory defaults in EEPROM, RAM a copy of them
    std::array<uint8_t, 124> eeprom{}; // the parameter block as stored; plausible defaults
    std::array<uint8_t, 124> ram{};
    bool on = false;
    bool offKeepsValue = false; // last off command was "keep current value"
    int centreCount = 0;        // set-centre commands received
    int resetCentreCount = 0;
    int restarts = 0;
    int clearedParams = 0;
    uint16_t histogram = 12345; // value the histogram reply carries
    // Simulated head, degrees; drives the joystick output.
    double headYaw = 0.0, headPitch = 0.0;
    double centreYaw = 0.0, centrePitch = 0.0;
    // Joystick output 0..65535 (centre 32767); holds its value while off unless returned.
    uint16_t axisX = 32767, axisY = 32767;
    int rejectedWrites = 0; // long-write frames refused (bad CRC, range, abandoned)
    int acceptedWrites = 0; // long-write frames stored into the EEPROM
    int longReads = 0;      // long-read requests answered
    int calibrationStarts = 0, calibrationSaves = 0, calibrationResets = 0;
    int histogramRequests = 0;
    int bootEntries = 0; // times it left for its bootloader

    // While on, maps the head relative to the centre onto the axes: yaw difference (wrapped into
    // -180..180 degrees) to axisX, pitch difference (clamped to -90..90) to axisY; -limit gives
    // 0, 0 gives 32767, +limit gives 65535. While off the axes keep their value.
    void updateAxes();
    void setHead(double yaw, double pitch); // moves the simulated head, then updateAxes()
    void restoreDefaults(); // factory parameter block into the EEPROM (RAM untouched)
    void powerUp();         // what plugging in does: off, RAM := EEPROM, axes centred

    // The factory parameter block: joystick mode, no rotation, small dead zones; the bytes the
    // program never interprets carry a varied non-zero pattern.
    static std::array<uint8_t, kBlockSize> factoryDefaults();
};

// Firmware model of the indicator. An LED command addresses the LEDs whose low-nibble mask bit
// is set (bit 0 infrared, 1 blue, 2 red); each addressed LED takes its level and the state of
// its high-nibble bit (4, 5, 6). `...On` means lit: state bit set and level above 0, so the
// all-off command (mask 0x77, levels 0) darkens every LED.
class IndicatorModel {
public:
    uint8_t mask = 0; // last mask byte received
    bool irOn = false, blueOn = false, redOn = false;
    uint8_t irLevel = 0, blueLevel = 0, redLevel = 0;
    int restarts = 0;
    int ledCommands = 0; // LED commands received
    int bootEntries = 0; // times it left for its bootloader

    // Applies one LED command (mask, infrared, blue and red level).
    void applyLeds(uint8_t newMask, uint8_t ir, uint8_t blue, uint8_t red);
};

// One report that crossed the seam, for tests that check bytes on the wire.
struct WireRecord {
    enum class Kind { Set, Get } kind;
    QString device;   // "tracker", "indicator", "unrelated", "boot"
    QByteArray bytes; // the report as written, or as answered (empty for a failed get)
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

    // Enumeration lists the devices of the last deviceChange() (the plugged ones at creation
    // before that) in the fixed order tracker, indicator, unrelated, boot device; an index is a
    // position in that list. Check-out fails for an index out of range, a device already checked
    // out, or one unplugged since the list was taken (problem() is raised then).
    // Plugging: changes the plugged list and, like a real hotplug notification, queues one
    // deviceChange() on the event loop (bursts coalesce). Unplugging makes a device's requests
    // fail with ENODEV; a checked-out device object stays alive until checkIn. Plugging in again
    // creates a new device object with a new path.
    void plugTracker(bool plugged);
    void plugIndicator(bool plugged);
    void plugUnrelated(bool plugged); // an unrelated HID device (a mouse-like thing)
    bool trackerPlugged() const;
    bool indicatorPlugged() const;
    bool bootDevicePlugged() const;    // "YNQ-Boot" after a tracker/indicator bootloader entry
    void plugBootDevice(bool plugged); // e.g. to start with a device in bootloader mode
    void setReportLength(int length);  // 10..256 (clamped); both devices
    bool unrelatedPlugged() const;

    // Successful check-outs since creation (the simulator opens nothing else).
    int openCount() const;
    // Device objects alive: plugged, still listed, or checked out after unplugging.
    int liveDeviceCount() const;

    // Every report since the last clear.
    const std::vector<WireRecord>& wire() const;
    void clearWire();

    // Keeps the models' memory (EEPROM, RAM, on state, LEDs) across runs, as a small JSON file.
    // Save writes a temporary file and renames it over `path`; false with a message in `error`
    // when it cannot. Load returns false with a message in `error` for a missing or malformed
    // file and leaves the models as they were.
    bool saveState(const QString& path, QString* error = nullptr) const;
    bool loadState(const QString& path, QString* error = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sim
