// How the tracker answers each request: short commands change its state and leave an echo (or
// the set-centre / histogram reply); long requests go to the long-transfer model.
#include "sim/Firmware.h"
#include "sim/LongTransferModel.h"

#include <algorithm>

namespace sim {

struct TrackerFirmware::FrameState {
    WriteFrameCollector collector;
};

TrackerFirmware::TrackerFirmware(TrackerModel& model, Faults& faults)
    : model_(model), faults_(faults), frame_(std::make_unique<FrameState>()) {}

TrackerFirmware::~TrackerFirmware() = default;

Outcome TrackerFirmware::receive(std::span<const uint8_t> request, PendingReply& reply) {
    reply.clear();
    WriteFrameCollector& frame = frame_->collector;
    if (frame.collecting()) {
        if (!isRequestStart(request)) {
            boot_.reset();
            frame.add(request);
            finishFrame(frame.complete());
            return Outcome::None;
        }
        // A new request in the middle of a frame: the frame is lost, as it would be for a
        // device that saw its reports interrupted.
        frame.abandon();
        ++model_.rejectedWrites;
    }
    if (request.size() < 4 || request[1] != proto::kRequest) {
        boot_.reset();
        return Outcome::None;
    }
    const uint8_t kind = request[2];
    if (kind == proto::kShort) {
        return shortCommand(request, reply);
    }
    boot_.reset();
    if ((kind & 0xC0) == 0xC0) {
        // Long read: bytes 3-4 wanted, 5-6 block address.
        const auto wanted = static_cast<uint16_t>(request[3] | (request[4] << 8));
        const auto address = static_cast<uint16_t>(request[5] | (request[6] << 8));
        ++model_.longReads;
        const std::array<uint8_t, kBlockSize> none{};
        const auto& block = kind == proto::kReadEeprom ? model_.eeprom
                            : kind == proto::kReadRam  ? model_.ram
                                                       : none;
        // An unknown memory answers an empty chunk.
        const uint16_t asked = (kind == proto::kReadEeprom || kind == proto::kReadRam) ? wanted : 0;
        reply.reports = longReadReply(kind, asked, address, block, request.size(), faults_);
        reply.next = 0;
    } else if ((kind & 0x80) != 0) {
        if (!frame.start(request)) {
            ++model_.rejectedWrites;
            return Outcome::None;
        }
        finishFrame(frame.complete());
    }
    return Outcome::None;
}

void TrackerFirmware::finishFrame(bool complete) {
    if (!complete) {
        return;
    }
    if (frame_->collector.commit(model_.eeprom)) {
        ++model_.acceptedWrites;
    } else {
        ++model_.rejectedWrites;
    }
}

Outcome TrackerFirmware::shortCommand(std::span<const uint8_t> request, PendingReply& reply) {
    const uint8_t code = request[3];
    const bool bootNow = boot_.feed(code);
    switch (code) {
    case proto::kRestart:
        ++model_.restarts;
        model_.powerUp();
        break;
    case proto::kClearParams:
        model_.restoreDefaults();
        ++model_.clearedParams;
        break;
    case proto::kCalibrationStart:
        ++model_.calibrationStarts;
        break;
    case proto::kCalibrationSave:
        ++model_.calibrationSaves;
        break;
    case proto::kCalibrationReset:
        ++model_.calibrationResets;
        break;
    case proto::kOffReturnCentre:
        model_.on = false;
        model_.offKeepsValue = false;
        model_.axisX = 32767;
        model_.axisY = 32767;
        break;
    case proto::kOffKeepValue:
        model_.on = false;
        model_.offKeepsValue = true;
        break;
    case proto::kOn:
        model_.on = true;
        model_.updateAxes();
        break;
    case proto::kResetCentre:
        model_.centreYaw = 0.0;
        model_.centrePitch = 0.0;
        ++model_.resetCentreCount;
        model_.updateAxes();
        break;
    case proto::kSetCentre: {
        model_.centreYaw = model_.headYaw;
        model_.centrePitch = model_.headPitch;
        ++model_.centreCount;
        model_.updateAxes();
        Report answer = echoReply(request);
        answer[4] = takeFault(faults_.centerBadStatus) ? 0x44 : proto::kCentreOk;
        const bool badEcho = takeFault(faults_.centerBadEcho);
        for (std::size_t i = 0; i < 4; ++i) {
            const auto complement = static_cast<uint8_t>(~request[4 + i]);
            answer[5 + i] = badEcho ? request[4 + i] : complement;
        }
        reply.set(std::move(answer));
        return Outcome::None;
    }
    case proto::kHistogram: {
        ++model_.histogramRequests;
        Report answer = emptyReport(request.size());
        answer[1] = proto::kHistogram;
        answer[2] = static_cast<uint8_t>(model_.histogram & 0xFF);
        answer[3] = static_cast<uint8_t>(model_.histogram >> 8);
        reply.set(std::move(answer));
        return Outcome::None;
    }
    case proto::kBootPrime:
        break;
    case proto::kBootGo:
        if (bootNow) {
            ++model_.bootEntries;
            model_.on = false;
            return Outcome::EnterBootloader;
        }
        break;
    default:
        return Outcome::None; // unknown command: nothing to answer
    }
    reply.set(echoReply(request));
    return Outcome::None;
}

} // namespace sim
