#pragma once
// Feature-report length of a HID device, computed from its report descriptor the way Windows
// computes FeatureReportByteLength. Internal to the hidraw backend (tests include it too).

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::hidraw {

// The largest buffer hidraw moves in one request (the kernel's HID_MAX_BUFFER_SIZE). No report
// can be longer, so no result is: a descriptor that claims more is treated as malformed.
inline constexpr int kMaxFeatureReportLength = 16384;

// How deeply Push items may nest. The kernel itself refuses descriptors nesting deeper than 4,
// so such a device never gets a hidraw node; the margin only keeps odd descriptors parseable.
inline constexpr std::size_t kMaxGlobalStackDepth = 16;

struct ReportDescriptorSummary {
    // Bytes of the longest feature report, its bits rounded up to whole bytes, plus one byte for
    // the report ID, which Windows counts also when the device uses no report IDs. 0 when the
    // descriptor declares no feature report with at least one bit. At most
    // kMaxFeatureReportLength.
    int featureReportLength = 0;
    // The walk stopped at an item it could not trust: an item cut off by the end of the data, a
    // Pop with nothing pushed, a Push beyond kMaxGlobalStackDepth, a Report ID of 0 or above 255,
    // or a feature report longer than hidraw can carry. featureReportLength then counts only the
    // items before that one.
    bool malformed = false;
};

// Walks the short items of `descriptor` (long items are skipped), following Report ID, Report
// Size and Report Count through Push and Pop, and adds up the bits of every Feature main item
// per report ID. A pure function of the bytes: safe on any input, it reads only inside the span.
ReportDescriptorSummary summarizeReportDescriptor(std::span<const uint8_t> descriptor);

} // namespace platform::hidraw
