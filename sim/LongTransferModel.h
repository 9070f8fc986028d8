#pragma once
// The tracker's side of the long transfers: answering a read request with a chunk (a first
// report with header, length and CRC, then follow-up reports of pure data) and collecting a
// write frame that spans several reports.

#include "sim/Firmware.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

// Builds the reply reports, each `reportLength` bytes, to a read request of `wanted` bytes at
// `address` of `block`. The chunk holds n = min(wanted, chunkLimit if set, kBlockSize - address)
// bytes (0 for an address outside the block). First report: 0x5A, `command`, n, address, CRC of
// the data, then the first data bytes; the rest go in follow-up reports of reportLength - 1 data
// bytes. Whatever follows the data in a report is proto::kFiller. Applies and uses up the
// faults wrongHeader, wrongCrc, zeroChunk and hostileLength; reads chunkLimit.
std::vector<PendingReply::Entry> longReadReply(uint8_t command, uint16_t wanted, uint16_t address,
                                               std::span<const uint8_t, kBlockSize> block,
                                               std::size_t reportLength, Faults& faults);

// Collects the reports of one write frame (0xA5, code, length m, address, CRC, m data bytes),
// each report carrying reportLength - 1 frame bytes after its ID.
class WriteFrameCollector {
public:
    // Frames longer than this (the host's 1024-byte buffer) are refused at their first report.
    static constexpr std::size_t kMaxFrame = 1024;

    bool collecting() const { return collecting_; }
    // First report of a frame. Returns false when the announced frame is refused outright
    // (too long); otherwise the frame is complete() or awaits more reports.
    bool start(std::span<const uint8_t> report);
    // The next report of the frame being collected.
    void add(std::span<const uint8_t> report);
    bool complete() const;
    void abandon();

    // For a complete frame: true and the data stored into `eeprom` when the code is the EEPROM
    // write, the CRC matches and the range lies inside the block; false (nothing stored)
    // otherwise. Ends the collection either way.
    bool commit(std::array<uint8_t, kBlockSize>& eeprom);

private:
    std::vector<uint8_t> frame_;
    std::size_t expected_ = 0; // m + 8
    bool collecting_ = false;
};

// A report that starts a request of its own (short command, read or EEPROM write) rather than
// continuing a write frame.
bool isRequestStart(std::span<const uint8_t> report);

} // namespace sim
