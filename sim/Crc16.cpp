#include "sim/Crc16.h"

namespace sim {

uint16_t crc16Modbus(std::span<const uint8_t> data) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            const bool lsb = (crc & 1U) != 0;
            crc = static_cast<uint16_t>(crc >> 1);
            if (lsb) {
                crc ^= 0xA001;
            }
        }
    }
    return crc;
}

} // namespace sim
