// libFuzzer entry for the report-descriptor parser. Besides the sanitizers' checks it holds the
// parser to its contract: a length within bounds, and the same answer for the same bytes.
#include "platform/hid/linux/ReportDescriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace platform::hidraw;
    const std::span<const uint8_t> bytes(data, size);
    const ReportDescriptorSummary first = summarizeReportDescriptor(bytes);
    if (first.featureReportLength < 0 || first.featureReportLength > kMaxFeatureReportLength ||
        first.featureReportLength == 1) {
        std::abort();
    }
    const ReportDescriptorSummary second = summarizeReportDescriptor(bytes);
    if (second.featureReportLength != first.featureReportLength ||
        second.malformed != first.malformed) {
        std::abort();
    }
    return 0;
}
