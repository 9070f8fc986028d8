#include "ScriptedHidDevice.h"

#include <algorithm>

bool ScriptedHidDevice::getFeature(uint8_t* buffer, std::size_t size) {
    ++gets;
    if (replies.empty()) {
        error_ = EIO;
        return false;
    }
    Bytes reply = replies.front();
    replies.pop_front();
    std::fill(buffer, buffer + size, uint8_t{0});
    std::copy_n(reply.begin(), std::min(reply.size(), size), buffer);
    error_ = 0;
    return true;
}

bool ScriptedHidDevice::setFeature(const uint8_t* buffer, std::size_t size) {
    const int index = static_cast<int>(written.size());
    written.emplace_back(buffer, buffer + size);
    bool ok = std::find(failingWrites.begin(), failingWrites.end(), index) == failingWrites.end();
    if (ok && onWrite)
        ok = onWrite(written.back());
    error_ = ok ? 0 : EPIPE;
    return ok;
}

uint16_t ReferenceCrc(const uint8_t* data, std::size_t n) {
    // Bitwise CRC-16/MODBUS written independently of the code under test.
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

BlockResponder::BlockResponder(ScriptedHidDevice& device, Bytes block, std::vector<int> chunkSizes)
    : device_(device), block_(std::move(block)), chunkSizes_(std::move(chunkSizes)) {
    device_.onWrite = [this](const Bytes& report) {
        if (report.size() >= 7 && report[1] == 0xA5 && (report[2] & 0xC0) == 0xC0) {
            const uint16_t wanted = static_cast<uint16_t>(report[3] | report[4] << 8);
            const uint16_t address = static_cast<uint16_t>(report[5] | report[6] << 8);
            device_.replies.clear();
            for (auto& r : chunkReplies(wanted, address))
                device_.replies.push_back(std::move(r));
            ++chunksAnswered;
        }
        return true;
    };
}

std::vector<Bytes> BlockResponder::chunkReplies(uint16_t wanted, uint16_t address) const {
    const std::size_t length = static_cast<std::size_t>(device_.featureReportLength());
    const std::size_t payload = length - 1;
    std::size_t n = std::min<std::size_t>(wanted, block_.size() - std::min<std::size_t>(
                                                                     address, block_.size()));
    if (static_cast<std::size_t>(chunksAnswered) < chunkSizes_.size())
        n = std::min<std::size_t>(n, static_cast<std::size_t>(chunkSizes_[chunksAnswered]));
    const uint8_t* data = block_.data() + address;
    const uint16_t crc = ReferenceCrc(data, n);

    std::vector<Bytes> out;
    Bytes first(length, 0);
    first[0] = 0x59;
    first[1] = 0x5A;
    first[3] = static_cast<uint8_t>(n);
    first[4] = static_cast<uint8_t>(n >> 8);
    first[5] = static_cast<uint8_t>(address);
    first[6] = static_cast<uint8_t>(address >> 8);
    first[7] = static_cast<uint8_t>(crc);
    first[8] = static_cast<uint8_t>(crc >> 8);
    std::size_t at = 0;
    for (std::size_t i = 9; i < length && at < n; ++i)
        first[i] = data[at++];
    if (tamper)
        tamper(first, chunksAnswered);
    out.push_back(first);
    while (at < n) {
        Bytes follow(length, filler);
        follow[0] = 0x59;
        for (std::size_t i = 1; i <= payload && at < n; ++i)
            follow[i] = data[at++];
        out.push_back(follow);
    }
    return out;
}
