// The indicator's LEDs and how it answers its commands.
#include "sim/Firmware.h"

namespace sim {

namespace {

// Mask bits of one LED: the low-nibble bit addresses it, the high-nibble bit switches it on.
struct LedBits {
    uint8_t address;
    uint8_t state;
};
constexpr LedBits kIr{0x01, 0x10};
constexpr LedBits kBlue{0x02, 0x20};
constexpr LedBits kRed{0x04, 0x40};

void applyOne(uint8_t mask, LedBits bits, uint8_t level, bool& on, uint8_t& storedLevel) {
    if ((mask & bits.address) == 0) {
        return;
    }
    storedLevel = level;
    on = (mask & bits.state) != 0 && level > 0;
}

} // namespace

void IndicatorModel::applyLeds(uint8_t newMask, uint8_t ir, uint8_t blue, uint8_t red) {
    mask = newMask;
    ++ledCommands;
    applyOne(newMask, kIr, ir, irOn, irLevel);
    applyOne(newMask, kBlue, blue, blueOn, blueLevel);
    applyOne(newMask, kRed, red, redOn, redLevel);
}

Outcome IndicatorFirmware::receive(std::span<const uint8_t> request, PendingReply& reply) {
    reply.clear();
    if (request.size() < 8 || request[1] != proto::kRequest || request[2] != proto::kShort) {
        boot_.reset();
        return Outcome::None;
    }
    const uint8_t code = request[3];
    const bool bootNow = boot_.feed(code);
    switch (code) {
    case proto::kSetLed:
        model_.applyLeds(request[4], request[5], request[6], request[7]);
        break;
    case proto::kRestart:
        // A restart starts with every LED dark.
        ++model_.restarts;
        model_.irOn = model_.blueOn = model_.redOn = false;
        break;
    case proto::kBootPrime:
        break;
    case proto::kBootGo:
        if (bootNow) {
            ++model_.bootEntries;
            model_.irOn = model_.blueOn = model_.redOn = false;
            return Outcome::EnterBootloader;
        }
        break;
    default:
        return Outcome::None;
    }
    reply.set(echoReply(request));
    return Outcome::None;
}

} // namespace sim
