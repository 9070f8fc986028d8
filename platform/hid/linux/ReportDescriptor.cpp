// hidapi 0.13 offers no call that returns a device's report descriptor or its capabilities, so
// the feature-report length is worked out here from the descriptor bytes that sysfs publishes.
// The walk follows the item format of the USB HID device class definition 1.11 (section
// 6.2.2): a prefix byte with size, type and tag, then 0, 1, 2 or 4 data bytes, little
// endian; prefix 0xFE starts a long item whose data size and tag follow in the next two bytes.

#include "platform/hid/linux/ReportDescriptor.h"

#include <algorithm>
#include <array>

namespace platform::hidraw {

namespace {

// Item types (bits 2-3 of the prefix).
constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;

// Main item tags (bits 4-7 of the prefix).
constexpr uint8_t kTagFeature = 0xB;

// Global item tags.
constexpr uint8_t kTagReportSize = 0x7;
constexpr uint8_t kTagReportId = 0x8;
constexpr uint8_t kTagReportCount = 0x9;
constexpr uint8_t kTagPush = 0xA;
constexpr uint8_t kTagPop = 0xB;

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr std::size_t kLongItemHeader = 3; // prefix, bDataSize, bLongItemTag

// Bits a single report may hold: everything but the report-ID byte of the largest buffer.
constexpr uint64_t kMaxReportBits = uint64_t(kMaxFeatureReportLength - 1) * 8;

// The part of the global item state that decides report lengths. Push and Pop save and restore
// all of it, the report ID included.
struct GlobalState {
    uint32_t reportId = 0; // 0: the device uses no report IDs (so far)
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
};

class DescriptorWalk {
public:
    // Applies one short item; false when the item makes the descriptor untrustworthy.
    bool apply(uint8_t type, uint8_t tag, uint32_t value) {
        if (type == kTypeGlobal) {
            return applyGlobal(tag, value);
        }
        if (type == kTypeMain && tag == kTagFeature) {
            // Size and count are 32-bit at most, so their product fits in 64 bits.
            const uint64_t itemBits = uint64_t(m_state.reportSize) * m_state.reportCount;
            uint64_t& reportBits = m_featureBits[m_state.reportId];
            if (itemBits > kMaxReportBits - reportBits) {
                return false;
            }
            reportBits += itemBits;
        }
        // Local items, the other main items and reserved types do not change report lengths.
        return true;
    }

    int featureReportLength() const {
        const uint64_t longest = *std::max_element(m_featureBits.begin(), m_featureBits.end());
        if (longest == 0) {
            return 0;
        }
        return int((longest + 7) / 8) + 1;
    }

private:
    bool applyGlobal(uint8_t tag, uint32_t value) {
        switch (tag) {
        case kTagReportSize:
            m_state.reportSize = value;
            return true;
        case kTagReportCount:
            m_state.reportCount = value;
            return true;
        case kTagReportId:
            // Report ID 0 is reserved and the ID travels in one byte.
            if (value == 0 || value > 0xFF) {
                return false;
            }
            m_state.reportId = value;
            return true;
        case kTagPush:
            if (m_depth == m_stack.size()) {
                return false;
            }
            m_stack[m_depth++] = m_state;
            return true;
        case kTagPop:
            if (m_depth == 0) {
                return false;
            }
            m_state = m_stack[--m_depth];
            return true;
        default:
            return true;
        }
    }

    GlobalState m_state;
    std::array<GlobalState, kMaxGlobalStackDepth> m_stack{};
    std::size_t m_depth = 0;
    std::array<uint64_t, 256> m_featureBits{}; // per report ID; index 0 = no report ID
};

} // namespace

ReportDescriptorSummary summarizeReportDescriptor(std::span<const uint8_t> descriptor) {
    DescriptorWalk walk;
    ReportDescriptorSummary summary;
    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::size_t left = descriptor.size() - pos;
        const uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // No long item tags are defined; skip the item whole.
            if (left < kLongItemHeader || left - kLongItemHeader < descriptor[pos + 1]) {
                summary.malformed = true;
                break;
            }
            pos += kLongItemHeader + descriptor[pos + 1];
            continue;
        }
        const std::size_t dataSize = (prefix & 0x3) == 0x3 ? 4 : (prefix & 0x3);
        if (left - 1 < dataSize) {
            summary.malformed = true;
            break;
        }
        uint32_t value = 0;
        for (std::size_t i = 0; i < dataSize; ++i) {
            value |= uint32_t(descriptor[pos + 1 + i]) << (8 * i);
        }
        pos += 1 + dataSize;
        if (!walk.apply(uint8_t((prefix >> 2) & 0x3), uint8_t(prefix >> 4), value)) {
            summary.malformed = true;
            break;
        }
    }
    summary.featureReportLength = walk.featureReportLength();
    return summary;
}

} // namespace platform::hidraw
