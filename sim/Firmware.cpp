// Pieces every simulated firmware shares: empty reports, fault counters, the pending reply.
#include "sim/Firmware.h"

#include <algorithm>

namespace sim {

Report emptyReport(std::size_t length) {
    Report report(length, 0);
    if (!report.empty()) {
        report[0] = proto::kReportId;
    }
    return report;
}

bool takeFault(int& counter) {
    if (counter < 0) {
        return true;
    }
    if (counter > 0) {
        --counter;
        return true;
    }
    return false;
}

void PendingReply::clear() {
    reports.clear();
    next = 0;
}

void PendingReply::set(Report report) {
    clear();
    reports.push_back({std::move(report), false});
}

const PendingReply::Entry* PendingReply::current() const {
    return next < reports.size() ? &reports[next] : nullptr;
}

void PendingReply::advance() {
    if (next + 1 < reports.size()) {
        ++next;
    }
}

bool BootSequence::feed(uint8_t code) {
    const bool go = code == proto::kBootGo && previous_ == proto::kBootPrime;
    previous_ = code;
    return go;
}

Report echoReply(std::span<const uint8_t> request) {
    Report answer = emptyReport(request.size());
    std::copy_n(request.begin() + 1, std::min<std::size_t>(3, request.size() - 1),
                answer.begin() + 1);
    return answer;
}

} // namespace sim
