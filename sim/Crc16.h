#pragma once
// CRC-16/MODBUS as the devices compute it over long-transfer data: initial value 0xFFFF,
// reflected polynomial 0xA001, no final xor ("123456789" gives 0x4B37). The simulator keeps its
// own copy because it is the far side of the wire and must not share code with the host's link.

#include <cstdint>
#include <span>

namespace sim {

uint16_t crc16Modbus(std::span<const uint8_t> data);

} // namespace sim
