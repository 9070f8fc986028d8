// The tracker's memory (factory parameter block) and its joystick output.
#include "sim/SimHid.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Positions of the parameters the program edits, in the block.
constexpr std::size_t kDynamicDeadZone = 3; // bit 5
constexpr std::size_t kMode = 4;            // bits 0-2
constexpr std::size_t kRotation = 5;        // 16-bit
constexpr std::size_t kDbx = 7, kDby = 8, kRatio = 9;
constexpr std::size_t kLa[2] = {26, 34}; // prcs in bits 0-3, then dzl, dzh
constexpr std::size_t kPa[2] = {89, 97}; // flt in bits 5-7; kdh at +3, kdl at +4

constexpr uint16_t kAxisCentre = 32767;

// -1..1 onto 0..65535 with 0 at the centre value.
uint16_t toAxis(double fraction) {
    fraction = std::clamp(fraction, -1.0, 1.0);
    const double span = fraction < 0 ? kAxisCentre : 65535.0 - kAxisCentre;
    const long value = std::lround(kAxisCentre + fraction * span);
    return static_cast<uint16_t>(std::clamp(value, 0L, 65535L));
}

} // namespace

std::array<uint8_t, kBlockSize> TrackerModel::factoryDefaults() {
    std::array<uint8_t, kBlockSize> block{};
    // Bytes the program does not interpret: a varied pattern without 0x00, without the request
    // byte 0xA5 (a write frame's data never looks like the start of a request) and without the
    // reply filler 0xEE.
    for (std::size_t i = 0; i < block.size(); ++i) {
        auto value = static_cast<uint8_t>(i * 37 + 11);
        if (value == 0x00 || value == 0xA5 || value == 0xEE) {
            value ^= 0x01;
        }
        block[i] = value;
    }
    block[kDynamicDeadZone] = 0x23; // dynamic dead zone on, other bits set
    block[kMode] = 0x48;            // joystick (code 0); bits 3 and 6 set
    block[kRotation] = 0x00;        // no rotation
    block[kRotation + 1] = 0x00;
    block[kDbx] = 10;
    block[kDby] = 10;
    block[kRatio] = 100;
    for (std::size_t at : kLa) {
        block[at] = 0x3A;  // 10-bit axis; bits 4 and 5 set
        block[at + 1] = 2; // dzl
        block[at + 2] = 4; // dzh
    }
    for (std::size_t at : kPa) {
        block[at] = 0x65;     // filter 3; bits 0 and 2 set
        block[at + 3] = 0x80; // kdh
        block[at + 4] = 0x70; // kdl
    }
    return block;
}

TrackerModel::TrackerModel() : eeprom(factoryDefaults()), ram(eeprom) {}

void TrackerModel::restoreDefaults() {
    eeprom = factoryDefaults();
}

void TrackerModel::powerUp() {
    on = false;
    ram = eeprom;
    axisX = kAxisCentre;
    axisY = kAxisCentre;
}

void TrackerModel::updateAxes() {
    if (!on) {
        return;
    }
    const double yaw = std::remainder(headYaw - centreYaw, 360.0);
    const double pitch = headPitch - centrePitch;
    if (!std::isfinite(yaw) || !std::isfinite(pitch)) {
        return;
    }
    axisX = toAxis(yaw / 180.0);
    axisY = toAxis(pitch / 90.0);
}

void TrackerModel::setHead(double yaw, double pitch) {
    headYaw = yaw;
    headPitch = pitch;
    updateAxes();
}

} // namespace sim
