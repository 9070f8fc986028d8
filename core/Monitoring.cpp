// Live monitoring: the histogram poll, the axis path and the indicator page's test mode.
#include "core/CplData.h"

#include "devicelink/Utils.h"

#include <QRandomGenerator>

#include <array>

namespace {
constexpr uint8_t kHistogramCommand = 0x1B;
constexpr uint32_t kHistogramWaitMs = 16;
} // namespace

void TDmTrackCpl::tmHistoTimer() {
    if (!PageExists(core::Page::RavadOrora) || !view_->IndicatorPageShowing())
        return;
    // Another exchange holds the tracker: this tick is skipped, the next one comes as usual.
    if (guard_.Busy(core::Channel::Tracker))
        return;
    tmHisto.stop();
    if (!TrackYnqHid)
        return; // stays stopped until the next device scan starts it
    int value = 0;
    if (TrackerReadHistogram(value) && PageExists(core::Page::RavadOrora))
        view_->SetLbHisto(value);
    tmHisto.start();
}

bool TDmTrackCpl::TrackerReadHistogram(int& value) {
    lastCommandOk_ = false;
    if (!TrackYnqHid || guard_.Busy(core::Channel::Tracker))
        return false;
    std::array<uint8_t, 128> request{};
    request[0] = ynq::kReportId;
    request[1] = ynq::kRequestHeader;
    request[2] = ynq::kShortCommand;
    request[3] = kHistogramCommand;
    for (int i = 0; i < 2; ++i) {
        const auto r = static_cast<uint16_t>(QRandomGenerator::global()->bounded(65536));
        request[4 + 2 * i] = static_cast<uint8_t>(r & 0xFF);
        request[5 + 2 * i] = static_cast<uint8_t>(r >> 8);
    }
    core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
    TynqHidDevice& ch = *TrackYnqHid;
    ch.SendFReport(request); // the send's result is not checked; the reply tells
    YnqUtils::Delay(kHistogramWaitMs);
    std::array<uint8_t, ynq::kMaxReport> reply{};
    if (!ch.GetFReport(ynq::kReportId, reply))
        return false;
    value = reply[2] | (reply[3] << 8);
    lastCommandOk_ = true;
    return true;
}

void TDmTrackCpl::tmJoyPollTimer() {
    // Controller polling arrives with the bindings; the axis values then go to SetLbAxis.
}

void TDmTrackCpl::SetLbAxis(int X, int Y) {
    if (PageExists(core::Page::RavadOrora))
        view_->SetLbAxis(X, Y);
}

void TIndicatorTestMode::TrackerToTest(bool Force) {
    if (!core_.View().ApplicationVisible())
        return;
    const bool showing =
        core_.PageExists(core::Page::RavadOrora) && core_.View().IndicatorPageShowing();
    if (!Force && !showing)
        return;
    BeforeShowingState = core_.TrackerOnState();
    TestMode = true;
    core_.TrackerOn();
    core_.TrackerResetCenter();
}

void TIndicatorTestMode::TrackerOffTest(bool Force) {
    if (!TestMode)
        return;
    if (Force || (!BeforeShowingState && core_.TrackerOnState()))
        core_.TrackerOffReturnCenter();
    TestMode = false;
}
