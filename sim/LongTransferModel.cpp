#include "sim/LongTransferModel.h"

#include "sim/Crc16.h"

#include <algorithm>

namespace sim {

namespace {

// Offsets in the first reply report (behind the report ID), the same positions as in a frame.
constexpr std::size_t kReplyHeader = 1;  // 0x5A
constexpr std::size_t kReplyCommand = 2; // the request's command
constexpr std::size_t kReplyLength = 3;  // chunk length n, 2 bytes
constexpr std::size_t kReplyAddress = 5; // block address, 2 bytes
constexpr std::size_t kReplyCrc = 7;     // CRC of the n data bytes, 2 bytes
constexpr std::size_t kReplyData = 9;    // first data byte

// Offsets in a write frame.
constexpr std::size_t kFrameCommand = 1;
constexpr std::size_t kFrameLength = 2;
constexpr std::size_t kFrameAddress = 4;
constexpr std::size_t kFrameCrc = 6;
constexpr std::size_t kFrameData = 8;

void putWord(Report& report, std::size_t at, uint16_t value) {
    report[at] = static_cast<uint8_t>(value & 0xFF);
    report[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t word(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

Report filledReport(std::size_t length) {
    Report report(length, proto::kFiller);
    report[0] = proto::kReportId;
    return report;
}

} // namespace

std::vector<PendingReply::Entry> longReadReply(uint8_t command, uint16_t wanted, uint16_t address,
                                               std::span<const uint8_t, kBlockSize> block,
                                               std::size_t reportLength, Faults& faults) {
    std::size_t n = 0;
    if (address < kBlockSize) {
        n = std::min<std::size_t>(wanted, kBlockSize - address);
        if (faults.chunkLimit > 0) {
            n = std::min<std::size_t>(n, static_cast<std::size_t>(faults.chunkLimit));
        }
    }
    if (takeFault(faults.zeroChunk)) {
        n = 0;
    }
    const std::span<const uint8_t> data = block.subspan(n == 0 ? 0 : address, n);

    const std::size_t payload = reportLength - 1; // data bytes per report after the ID
    const std::size_t firstPart = std::min(n, payload - 8);

    std::vector<PendingReply::Entry> reports;
    Report first = filledReport(reportLength);
    first[kReplyHeader] = takeFault(faults.wrongHeader) ? 0x00 : proto::kShort;
    first[kReplyCommand] = command;
    uint16_t announced = static_cast<uint16_t>(n);
    if (faults.hostileLength > 0) {
        announced = static_cast<uint16_t>(std::min(faults.hostileLength, 0xFFFF));
    }
    putWord(first, kReplyLength, announced);
    putWord(first, kReplyAddress, address);
    uint16_t crc = crc16Modbus(data);
    if (takeFault(faults.wrongCrc)) {
        crc ^= 0x5A5A; // never equal to the right value
    }
    putWord(first, kReplyCrc, crc);
    std::copy_n(data.begin(), firstPart, first.begin() + kReplyData);
    reports.push_back({std::move(first), false});

    for (std::size_t at = firstPart; at < n; at += payload) {
        Report next = filledReport(reportLength);
        const std::size_t count = std::min(payload, n - at);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), count, next.begin() + 1);
        reports.push_back({std::move(next), true});
    }
    return reports;
}

bool WriteFrameCollector::start(std::span<const uint8_t> report) {
    abandon();
    const auto pieces = report.subspan(1);
    const std::size_t length = word(pieces, kFrameLength);
    if (length + kFrameData > kMaxFrame) {
        return false;
    }
    expected_ = length + kFrameData;
    collecting_ = true;
    add(report);
    return true;
}

void WriteFrameCollector::add(std::span<const uint8_t> report) {
    const auto pieces = report.subspan(1);
    const std::size_t take = std::min(pieces.size(), expected_ - frame_.size());
    frame_.insert(frame_.end(), pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(take));
}

bool WriteFrameCollector::complete() const {
    return collecting_ && frame_.size() >= expected_;
}

void WriteFrameCollector::abandon() {
    frame_.clear();
    expected_ = 0;
    collecting_ = false;
}

bool WriteFrameCollector::commit(std::array<uint8_t, kBlockSize>& eeprom) {
    bool stored = false;
    if (complete() && frame_[kFrameCommand] == proto::kWriteEeprom) {
        const std::span<const uint8_t> frame(frame_);
        const std::size_t length = word(frame, kFrameLength);
        const std::size_t address = word(frame, kFrameAddress);
        const auto data = frame.subspan(kFrameData, length);
        if (length > 0 && address + length <= kBlockSize &&
            crc16Modbus(data) == word(frame, kFrameCrc)) {
            std::copy(data.begin(), data.end(),
                      eeprom.begin() + static_cast<std::ptrdiff_t>(address));
            stored = true;
        }
    }
    abandon();
    return stored;
}

bool isRequestStart(std::span<const uint8_t> report) {
    if (report.size() < 4 || report[1] != proto::kRequest) {
        return false;
    }
    const uint8_t kind = report[2];
    return kind == proto::kShort || kind == proto::kReadEeprom || kind == proto::kReadRam ||
           kind == proto::kWriteEeprom;
}

} // namespace sim
