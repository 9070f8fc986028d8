// Feature-report length from report descriptors, computed as Windows gives
// FeatureReportByteLength: longest feature report in bytes plus the report-ID byte.
#include "platform/hid/linux/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using platform::hidraw::kMaxFeatureReportLength;
using platform::hidraw::kMaxGlobalStackDepth;
using platform::hidraw::ReportDescriptorSummary;
using platform::hidraw::summarizeReportDescriptor;

using Bytes = std::vector<uint8_t>;

ReportDescriptorSummary summarize(const Bytes& bytes) {
    // An exact-size heap copy, so that AddressSanitizer catches any read past the end.
    const auto copy = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return summarizeReportDescriptor(std::span<const uint8_t>(copy.get(), bytes.size()));
}

Bytes repeated(uint8_t byte, std::size_t times) {
    return Bytes(times, byte);
}

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct DescriptorCase {
    std::string name;
    Bytes bytes;
    int featureReportLength;
    bool malformed;
};

void PrintTo(const DescriptorCase& c, std::ostream* os) {
    *os << c.name;
}

// Well-formed descriptors. Where a descriptor is not taken from a published example, the
// comment says what kind of device it is modelled on.
const std::vector<DescriptorCase>& wellFormed() {
    static const std::vector<DescriptorCase> cases = {
        // The 3-button mouse of the HID device class definition 1.11 (its boot report of
        // appendix B.2, as the example descriptors of appendix E give it): input reports only.
        {"boot_mouse_has_no_feature_report",
         {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
          0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
          0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15,
          0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0xC0},
         0,
         false},
        // A vendor-defined device without report IDs and 64-byte input, output and feature
        // reports, modelled on the generic HID templates of microcontroller USB stacks (the
        // layout that gives this program's devices their feature length of 65).
        {"no_report_ids_one_64_byte_feature_report",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
          0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0x95, 0x40,
          0x09, 0x01, 0x91, 0x02, 0x95, 0x40, 0x09, 0x01, 0xB1, 0x02, 0xC0},
         65,
         false},
        // Modelled on the vendor collections of LED and fan controllers, with report IDs: feature
        // report 1 of 7 bytes, report 3 of 63 bytes made of two items, report 4 of 16 bytes, and
        // a 256-byte input report 2 that must not count.
        {"several_report_ids_longest_feature_wins",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
          0x00, 0x75, 0x08, 0x85, 0x01, 0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, // ID 1: 7 bytes
          0x85, 0x02, 0x96, 0x00, 0x01, 0x09, 0x01, 0x81, 0x02, // ID 2: input, 256 bytes
          0x85, 0x03, 0x95, 0x1F, 0x09, 0x01, 0xB1, 0x02,       // ID 3: 31 bytes ...
          0x95, 0x20, 0x09, 0x02, 0xB1, 0x02,                   // ... + 32 bytes
          0x85, 0x04, 0x95, 0x10, 0x09, 0x01, 0xB1, 0x02,       // ID 4: 16 bytes
          0xC0},
         64,
         false},
        // Push saves report ID 1 with 8-bit fields, report 2 uses 16-bit fields, Pop brings
        // back ID 1 and 8 bits: report 1 has 4 bytes, report 2 has 16.
        {"push_pop_restores_report_id_size_and_count",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x04,
          0xA4,                                                       // Push
          0x85, 0x02, 0x75, 0x10, 0x95, 0x08, 0x09, 0x01, 0xB1, 0x02, // ID 2: 8 x 16 bits
          0xB4,                                                       // Pop
          0x09, 0x01, 0xB1, 0x02,                                     // ID 1: 4 x 8 bits
          0x09, 0x01, 0xB1, 0x02,                                     // ID 1: 4 x 8 bits more
          0xC0},
         17,
         false},
        // A sensor that exposes three 12-bit calibration values as one feature report: 36 bits
        // take 5 bytes.
        {"twelve_bit_fields_round_up_to_bytes",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x0C, 0x95, 0x03, 0x09, 0x01, 0xB1, 0x02,
          0xC0},
         6,
         false},
        // Two 4-bit fields in separate items share one byte: the report is rounded, not each
        // item.
        {"bit_fields_share_bytes_within_a_report",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x05, 0x75, 0x04,
          0x95, 0x01, 0x09, 0x01, 0xB1, 0x02, 0x09, 0x02, 0xB1, 0x02, 0xC0},
         2,
         false},
        // A long item (no long item tags are defined, but the format allows them) whose data
        // looks like "Report Size 16, Feature": it is skipped whole.
        {"long_item_is_skipped",
         {0x75, 0x08, 0x95, 0x02, 0xB1, 0x02, 0xFE, 0x04, 0xF0, 0x75, 0x10, 0xB1, 0x02, 0x95, 0x03,
          0xB1, 0x02},
         6,
         false},
        {"feature_item_without_bits_counts_nothing",
         {0x75, 0x08, 0x95, 0x00, 0xB1, 0x02},
         0,
         false},
        {"empty_descriptor", {}, 0, false},
        // 16 nested Pushes (the most allowed) and their Pops.
        {"deepest_allowed_nesting",
         joined({{0x75, 0x08, 0x95, 0x03},
                 repeated(0xA4, kMaxGlobalStackDepth),
                 {0x95, 0x09, 0xB1, 0x02},
                 repeated(0xB4, kMaxGlobalStackDepth),
                 {0xB1, 0x02}}),
         13, false},
        // The longest report hidraw can carry: 16383 data bytes.
        {"report_at_the_hidraw_limit",
         {0x75, 0x08, 0x96, 0xFF, 0x3F, 0xB1, 0x02},
         kMaxFeatureReportLength,
         false},
    };
    return cases;
}

// Descriptors the walk cannot trust; the result counts only what came before the fault.
const std::vector<DescriptorCase>& malformed() {
    static const std::vector<DescriptorCase> cases = {
        {"truncated_two_byte_item", {0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0x96, 0x01}, 5, true},
        {"truncated_four_byte_item",
         {0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0x97, 0x01, 0x00},
         5,
         true},
        {"truncated_feature_item", {0x75, 0x08, 0x95, 0x04, 0xB1}, 0, true},
        {"pop_on_empty_stack",
         {0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0xB4, 0x95, 0x10, 0xB1, 0x02},
         5,
         true},
        {"push_overflow",
         joined({{0x75, 0x08, 0x95, 0x02, 0xB1, 0x02},
                 repeated(0xA4, kMaxGlobalStackDepth + 1),
                 {0x95, 0x40, 0xB1, 0x02}}),
         3, true},
        {"long_item_header_cut_off", {0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xFE, 0x05}, 2, true},
        {"long_item_data_cut_off",
         {0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xFE, 0x05, 0x10, 0x00, 0x00},
         2,
         true},
        {"report_id_zero", {0x85, 0x00, 0x75, 0x08, 0x95, 0x04, 0xB1, 0x02}, 0, true},
        {"report_id_beyond_one_byte",
         {0x75, 0x08, 0x95, 0x02, 0xB1, 0x02, 0x86, 0x00, 0x01, 0x95, 0x08, 0xB1, 0x02},
         3,
         true},
        // 0xFFFFFFFF fields of 0xFFFFFFFF bits: far more than any buffer.
        {"huge_size_and_count",
         {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x02},
         0,
         true},
        // One bit past the longest report hidraw carries: the item is refused.
        {"report_past_the_hidraw_limit",
         {0x75, 0x08, 0x96, 0xFF, 0x3F, 0xB1, 0x02, 0x75, 0x01, 0x95, 0x01, 0xB1, 0x02},
         kMaxFeatureReportLength,
         true},
    };
    return cases;
}

class WellFormedDescriptor : public testing::TestWithParam<DescriptorCase> {};
class MalformedDescriptor : public testing::TestWithParam<DescriptorCase> {};

TEST_P(WellFormedDescriptor, GivesTheWindowsFeatureReportLength) {
    const ReportDescriptorSummary summary = summarize(GetParam().bytes);
    EXPECT_EQ(summary.featureReportLength, GetParam().featureReportLength);
    EXPECT_EQ(summary.malformed, GetParam().malformed);
}

TEST_P(MalformedDescriptor, KeepsWhatCameBeforeTheFault) {
    const ReportDescriptorSummary summary = summarize(GetParam().bytes);
    EXPECT_EQ(summary.featureReportLength, GetParam().featureReportLength);
    EXPECT_EQ(summary.malformed, GetParam().malformed);
}

std::string caseName(const testing::TestParamInfo<DescriptorCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Table, WellFormedDescriptor, testing::ValuesIn(wellFormed()), caseName);
INSTANTIATE_TEST_SUITE_P(Table, MalformedDescriptor, testing::ValuesIn(malformed()), caseName);

// Cutting a sound descriptor anywhere never raises its result.
TEST(ReportDescriptorRobustness, EveryPrefixOfASoundDescriptorStaysBelowTheWhole) {
    for (const DescriptorCase& c : wellFormed()) {
        for (std::size_t cut = 0; cut < c.bytes.size(); ++cut) {
            SCOPED_TRACE(c.name + " cut at " + std::to_string(cut));
            const Bytes prefix(c.bytes.begin(), c.bytes.begin() + std::ptrdiff_t(cut));
            const ReportDescriptorSummary summary = summarize(prefix);
            EXPECT_LE(summary.featureReportLength, c.featureReportLength);
        }
    }
}

// Random bytes: no crash (the sanitizers watch every read), a length within its bounds, and the
// same answer every time. Appended to a sound descriptor they cannot lower its result.
TEST(ReportDescriptorRobustness, RandomBytesGiveABoundedRepeatableResult) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 300);
    const Bytes& sound = wellFormed()[1].bytes; // 65 on its own
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes(std::size_t(length(random)));
        for (uint8_t& b : bytes) {
            b = uint8_t(byte(random));
        }
        SCOPED_TRACE("round " + std::to_string(round));
        const ReportDescriptorSummary first = summarize(bytes);
        EXPECT_GE(first.featureReportLength, 0);
        EXPECT_LE(first.featureReportLength, kMaxFeatureReportLength);
        EXPECT_NE(first.featureReportLength, 1); // a report with bits has at least 2 bytes
        const ReportDescriptorSummary again = summarize(bytes);
        EXPECT_EQ(again.featureReportLength, first.featureReportLength);
        EXPECT_EQ(again.malformed, first.malformed);

        EXPECT_GE(summarize(joined({sound, bytes})).featureReportLength, 65);
    }
}

} // namespace
