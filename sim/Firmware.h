#pragma once
// The device side of the protocol: report constants, the reply a device holds for the next
// get-feature requests, and the firmware models that turn each received report into state
// changes and a reply. Internal to the simulator.

#include "sim/SimHid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace sim {

using Report = std::vector<uint8_t>;

namespace proto {
constexpr uint8_t kReportId = 0x59;    // byte 0 of every report to either device
constexpr uint8_t kRequest = 0xA5;     // byte 1 of every request
constexpr uint8_t kShort = 0x5A;       // byte 2 of a short command; byte 1 of a long-read reply
constexpr uint8_t kReadEeprom = 0xC5;  // byte 2 of a long-read request for the EEPROM block
constexpr uint8_t kReadRam = 0xC6;     // ... for the RAM block
constexpr uint8_t kWriteEeprom = 0x87; // frame byte 1 of a long write into the EEPROM block
constexpr uint8_t kCentreOk = 0x88;    // byte 4 of a good set-centre reply
constexpr uint8_t kFiller = 0xEE;      // what a reply report carries after its data

// Short command codes (request byte 3).
constexpr uint8_t kRestart = 0x00;
constexpr uint8_t kClearParams = 0x01;
constexpr uint8_t kCalibrationStart = 0x02;
constexpr uint8_t kCalibrationSave = 0x03;
constexpr uint8_t kCalibrationReset = 0x04;
constexpr uint8_t kSetLed = 0x0B; // indicator: bytes 4..7 mask, IR, blue, red level
constexpr uint8_t kOffReturnCentre = 0x18;
constexpr uint8_t kOffKeepValue = 0x19;
constexpr uint8_t kSetCentre = 0x1A; // bytes 4..7 a nonce; reply 0x88 and its complement
constexpr uint8_t kHistogram = 0x1B; // reply bytes 2..3 the value, little-endian
constexpr uint8_t kOn = 0x1D;
constexpr uint8_t kResetCentre = 0x1E;
constexpr uint8_t kBootPrime = 0x3B; // followed directly by kBootGo: enter the bootloader
constexpr uint8_t kBootGo = 0x55;
} // namespace proto

// A report of `length` bytes: the report ID, then zeros.
Report emptyReport(std::size_t length);

// Takes one occurrence of a fault: true when the counter is -1 (always) or above 0 (then
// decremented).
bool takeFault(int& counter);

// What the following get-feature requests answer: the reports in order; the last one is
// answered again once the others are used up. Empty: a report of zeros after the ID.
struct PendingReply {
    struct Entry {
        Report bytes;
        bool followUp = false; // a follow-up report of a long-read chunk
    };
    std::vector<Entry> reports;
    std::size_t next = 0;

    void clear();
    void set(Report report); // one report
    const Entry* current() const;
    void advance();
};

enum class Outcome { None, EnterBootloader };

// One device's firmware as seen from the wire. Each received request replaces the reply.
class Firmware {
public:
    virtual ~Firmware() = default;
    // `request` is the whole report as received (the device's length, byte 0 the report ID).
    virtual Outcome receive(std::span<const uint8_t> request, PendingReply& reply) = 0;
};

// Remembers the previous short command, for the two-step bootloader entry.
class BootSequence {
public:
    // Feeds a short command; true when it is kBootGo right after kBootPrime.
    bool feed(uint8_t code);
    void reset() { previous_ = -1; }

private:
    int previous_ = -1;
};

// The tracker: short commands, long reads of EEPROM and RAM, long writes into the EEPROM.
// The model and the faults belong to the controller and outlive this object.
class TrackerFirmware final : public Firmware {
public:
    TrackerFirmware(TrackerModel& model, Faults& faults);
    ~TrackerFirmware() override;
    Outcome receive(std::span<const uint8_t> request, PendingReply& reply) override;

private:
    Outcome shortCommand(std::span<const uint8_t> request, PendingReply& reply);
    void finishFrame(bool complete);

    TrackerModel& model_;
    Faults& faults_;
    BootSequence boot_;
    struct FrameState;
    std::unique_ptr<FrameState> frame_;
};

// The indicator: LED commands, restart, bootloader entry.
class IndicatorFirmware final : public Firmware {
public:
    explicit IndicatorFirmware(IndicatorModel& model) : model_(model) {}
    Outcome receive(std::span<const uint8_t> request, PendingReply& reply) override;

private:
    IndicatorModel& model_;
    BootSequence boot_;
};

// A device that takes reports and never answers anything but zeros (the bootloader, a mouse).
class SilentFirmware final : public Firmware {
public:
    Outcome receive(std::span<const uint8_t>, PendingReply& reply) override {
        reply.clear();
        return Outcome::None;
    }
};

// The reply to a short command that has no answer of its own: its bytes 1..3 echoed.
Report echoReply(std::span<const uint8_t> request);

} // namespace sim
