#pragma once
// A HID device for channel tests: records every report written to it and answers get-feature
// requests from a script, so each test states exactly what the device sends back.

#include "platform/hid/HidController.h"

#include <cerrno>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

using Bytes = std::vector<uint8_t>;

class ScriptedHidDevice : public platform::HidDevice {
public:
    explicit ScriptedHidDevice(int reportLength, uint16_t release = 0x0102)
        : length_(reportLength), release_(release) {}

    QString path() const override { return QStringLiteral("test:scripted"); }
    QString productName() const override { return QStringLiteral("Scripted"); }
    platform::HidAttributes attributes() const override { return {0x1234, 0x5678, release_}; }
    int featureReportLength() const override { return length_; }
    bool getFeature(uint8_t* buffer, std::size_t size) override;
    bool setFeature(const uint8_t* buffer, std::size_t size) override;
    int lastError() const override { return error_; }

    void setReportLength(int length) { length_ = length; }

    // Reports written, each exactly as the channel handed it over.
    std::vector<Bytes> written;
    // Called for every write; it may queue replies. Returning false fails the write.
    std::function<bool(const Bytes&)> onWrite;
    // Replies for the next gets, oldest first; a get with an empty queue fails.
    std::deque<Bytes> replies;
    int gets = 0;
    // Writes numbered from 0 that fail.
    std::vector<int> failingWrites;

private:
    int length_;
    uint16_t release_;
    int error_ = 0;
};

// Answers long-read requests from a memory block, as the tracker does: chunk i carries at most
// chunkSizes[i] bytes (all that is wanted once the list runs out), the first report with the
// 9-byte header, then follow-ups of pure data whose unused tail is filled with `filler`.
class BlockResponder {
public:
    BlockResponder(ScriptedHidDevice& device, Bytes block, std::vector<int> chunkSizes = {});

    // Replies of the next chunk, built for a request asking `wanted` bytes at `address`.
    std::vector<Bytes> chunkReplies(uint16_t wanted, uint16_t address) const;

    // Tweaks applied to every first reply report before it is queued (e.g. a wrong CRC).
    std::function<void(Bytes& firstReport, int chunkIndex)> tamper;
    uint8_t filler = 0xEE;
    int chunksAnswered = 0;

private:
    ScriptedHidDevice& device_;
    Bytes block_;
    std::vector<int> chunkSizes_;
};

uint16_t ReferenceCrc(const uint8_t* data, std::size_t n);
