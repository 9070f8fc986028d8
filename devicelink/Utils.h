#pragma once
// Small routines shared by the device link and the core: the message-pumping wait, the CRC-16
// that protects long transfers, bit helpers, a hexadecimal text parser and a clamp at zero.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>

namespace YnqUtils {

// Waits at least `milliseconds` while the Qt event loop keeps running: every pass handles all
// pending events, then sleeps 1 ms. Timers, input and device notifications run inside the wait.
// 0 returns at once without handling anything.
void Delay(uint32_t milliseconds);

// One byte of CRC-16/MODBUS (reflected polynomial 0xA001, least significant bit first).
uint16_t Crc16Update(uint16_t crc, uint8_t b);

// CRC-16/MODBUS of data[start .. endPos-1] (initial 0xFFFF, no final xor) into `crc`.
// Returns false, leaving crc = 0xFFFF, when endPos is 0 or start > endPos - 1. endPos must not
// exceed data.size(); a range past the end also returns false.
bool Crc16Block(std::span<const uint8_t> data, uint16_t start, uint16_t endPos, uint16_t& crc);

inline void SetBit(uint8_t& b, unsigned n) { b = static_cast<uint8_t>(b | (1u << n)); }
inline bool BitIsSet(uint16_t w, unsigned n) { return (w & (1u << n)) == (1u << n); }

// Position of c in "0123456789ABCDEF", or -1 (lower-case letters are not digits here).
int HexDigitValue(char c);

// Parses `s` as hexadecimal (letters of either case). True with the value when every character is
// a digit; false with value 0 otherwise. An empty text gives true and 0. Eight digits fill the
// 32-bit result (FFFFFFFF gives -1); longer texts keep only their last eight digits.
bool HexToInt(const QByteArray& s, int32_t& value);

inline int32_t ClampToZero(int32_t a) { return a > 0 ? a : 0; }

// Bytes as two upper-case hex digits each, separated by blanks, no trailing blank.
QString HexBytes(std::span<const uint8_t> bytes);

} // namespace YnqUtils
