// Device discovery: the HID controller's handlers, the status lines and the rescan timer.
#include "core/CplData.h"

#include "devicelink/Utils.h"

#include <algorithm>

namespace {
core::Channel ChannelOf(bool tracker) {
    return tracker ? core::Channel::Tracker : core::Channel::Indicator;
}
} // namespace

bool TDmTrackCpl::IsTracker(const platform::HidDevice& d) const {
    const platform::HidAttributes a = d.attributes();
    return a.vendorId == DestVid && a.productId == DestPid;
}

bool TDmTrackCpl::IsIndicator(const platform::HidDevice& d) const {
    const platform::HidAttributes a = d.attributes();
    return a.vendorId == SrcVid && a.productId == SrcPid;
}

QString TDmTrackCpl::VersionText(uint16_t release) {
    const QString digits = QStringLiteral("%1").arg(release, 4, 16, QLatin1Char('0')).toUpper();
    return digits.left(2) + QLatin1Char('.') + digits.mid(2, 2);
}

QString TDmTrackCpl::StatusLine(const QString& productName, uint16_t release, uint16_t bootButton,
                                const QString& expectedVersion) {
    const QString version = VersionText(release);
    QString line = productName + QStringLiteral(" [Ver: ") + version + QLatin1Char(']');
    if (bootButton == 1 && version != expectedVersion)
        line += core::kUpdateHint;
    return line;
}

bool TDmTrackCpl::HidctlEnumerate(platform::HidDevice& HidDev, int Idx) {
    if (HidDev.productName() == core::kBootProductName)
        YNQ_BOOT = true;

    // A device with both roles' identifiers (a configuration naming one device twice) can be
    // checked out only once; it then takes the tracker role.
    for (const bool tracker : {true, false}) {
        if (tracker ? !IsTracker(HidDev) : !IsIndicator(HidDev))
            continue;
        platform::HidDevice* dev = Hidctl->checkOutByIndex(Idx);
        if (!dev)
            continue; // already ours from an earlier scan, or in use elsewhere
        if (dev->featureReportLength() == 0) {
            // Stays checked out and unused; checked in when it is unplugged.
            unusedDevices_.push_back(dev);
            continue;
        }
        // Several devices with the same identifiers: the last one enumerated takes the role;
        // the earlier one is checked in and its channel freed.
        RetireRole(tracker ? Role::Tracker : Role::Indicator);
        auto channel = std::make_unique<TynqHidDevice>();
        channel->SetHidDev(dev);
        if (tracker) {
            DestBufLen = static_cast<uint32_t>(dev->featureReportLength());
            DestHid = dev;
            TrackYnqHid = std::move(channel);
        } else {
            SrcHid = dev;
            RavadOroraYnqHid = std::move(channel);
        }
    }
    return true;
}

void TDmTrackCpl::RetireRole(Role role) {
    const bool tracker = role == Role::Tracker;
    platform::HidDevice*& device = tracker ? DestHid : SrcHid;
    std::unique_ptr<TynqHidDevice>& channel = tracker ? TrackYnqHid : RavadOroraYnqHid;
    if (!device && !channel)
        return;
    const core::Channel c = ChannelOf(tracker);
    if (guard_.Busy(c)) {
        // The exchange in progress still talks to this channel: keep both until it ends.
        retired_[static_cast<std::size_t>(c)].push_back(Retired{std::move(channel), device});
    } else {
        channel.reset();
        if (device && Hidctl)
            Hidctl->checkIn(device);
    }
    channel.reset();
    device = nullptr;
}

void TDmTrackCpl::FreeRetired(core::Channel channel) {
    auto& list = retired_[static_cast<std::size_t>(channel)];
    if (list.empty())
        return;
    std::vector<Retired> done;
    done.swap(list);
    for (Retired& r : done) {
        r.channel.reset();
        if (r.device && Hidctl)
            Hidctl->checkIn(r.device);
    }
}

void TDmTrackCpl::HidctlDeviceChange() {
    // 1-3. Polls stop; a fresh input manager and controller list (which start the polls again).
    tmJoyPoll.stop();
    tmHisto.stop();
    CreateInputManager();
    BuildJoystickList();

    // 4. Find the devices.
    if (Hidctl)
        Hidctl->enumerate([this](platform::HidDevice& d, int i) { return HidctlEnumerate(d, i); });

    // 5. LED greeting.
    SetLedBlue(false);
    SetLedRed(true);
    YnqUtils::Delay(400);
    SetLedRed(false);
    SetLedBlue(true);
    YnqUtils::Delay(400);
    SetLedBlue(false);
    ReadyBlick(true);

    // 6, 7. Tracker.
    TrackJoyName.clear();
    if (TrackYnqHid && TrackYnqHid->CurrDev()) {
        const platform::HidDevice& dev = *TrackYnqHid->CurrDev();
        const QString name = dev.productName();
        TrackJoyName = name.trimmed();
        lbTrackerName_ = StatusLine(name, dev.attributes().release, DestBootButton, DestFmwVer);
        view_->SetLbTrackerName(lbTrackerName_);
        if (FirstRunTracker) {
            FirstRunTracker = false;
            if (FFlgOffCenter)
                TrackerOffReturnCenter();
            else
                TrackerOffCurrentValue();
        }
        Track_Need_Read = true;
    } else {
        LogMessage(core::kTrackerMissingLog);
        lbTrackerName_ = core::kDisconnected;
        view_->SetLbTrackerName(lbTrackerName_);
        FirstRunTracker = true;
        SetTrackerOnState(false);
    }

    // 8. Indicator.
    if (RavadOroraYnqHid && RavadOroraYnqHid->CurrDev()) {
        const platform::HidDevice& dev = *RavadOroraYnqHid->CurrDev();
        lbIndicatorName_ =
            StatusLine(dev.productName(), dev.attributes().release, SrcBootButton, SrcFmwVer);
    } else {
        LogMessage(core::kIndicatorMissingLog);
        lbIndicatorName_ = core::kDisconnected;
    }
    view_->SetLbIndicatorName(lbIndicatorName_);
    emit statusLinesChanged();

    // 9. Polls again.
    tmJoyPoll.start();
    tmHisto.start();

    // 10. Bindings usable with the controllers now attached; indicator test mode.
    if (PageExists(core::Page::Buttons))
        view_->UpdateSettings(true);
    if (PageExists(core::Page::RavadOrora))
        RavadOroraTest.TrackerToTest(false);
}

void TDmTrackCpl::HidctlDeviceUnplug(platform::HidDevice* HidDev) {
    if (!HidDev)
        return;
    // The role holder is matched by identity, so that unplugging a second device with the same
    // identifiers leaves the working one alone.
    if (HidDev == DestHid) {
        RetireRole(Role::Tracker);
    } else if (HidDev == SrcHid) {
        RetireRole(Role::Indicator);
    } else {
        const auto it = std::find(unusedDevices_.begin(), unusedDevices_.end(), HidDev);
        if (it != unusedDevices_.end()) {
            unusedDevices_.erase(it);
            if (Hidctl)
                Hidctl->checkIn(HidDev);
        }
    }
}

void TDmTrackCpl::HidctlDeviceData(platform::HidDevice* HidDev, const QByteArray& report) {
    (void)HidDev;
    (void)report;
}

void TDmTrackCpl::tmCheckUSBTimer() {
    tmCheckUSB.stop();
    if ((lbTrackerName_ == core::kDisconnected || lbIndicatorName_ == core::kDisconnected) &&
        Hidctl)
        Hidctl->deviceChange();
    tmCheckUSB.start();
}
