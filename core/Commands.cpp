// The tracker and indicator command set, with the LED feedback.
#include "core/CplData.h"

#include "devicelink/Utils.h"

#include <QRandomGenerator>
#include <QThread>

#include <array>
#include <system_error>

namespace {

// Command codes (byte 3 of a short command; long transfers carry them with bit 7 set).
namespace cmd {
constexpr uint8_t kRestart = 0x00;
constexpr uint8_t kClearParams = 0x01;
constexpr uint8_t kClbrStart = 0x02;
constexpr uint8_t kClbrSave = 0x03;
constexpr uint8_t kClbrReset = 0x04;
constexpr uint8_t kReadEeprom = 0x05;
constexpr uint8_t kReadRam = 0x06;
constexpr uint8_t kWriteEeprom = 0x07;
constexpr uint8_t kLed = 0x0B;
constexpr uint8_t kOffReturnCenter = 0x18;
constexpr uint8_t kOffCurrentValue = 0x19;
constexpr uint8_t kSetCenter = 0x1A;
constexpr uint8_t kOn = 0x1D;
constexpr uint8_t kResetCenter = 0x1E;
constexpr uint8_t kBootStep1 = 0x3B;
constexpr uint8_t kBootStep2 = 0x55;
} // namespace cmd

constexpr uint32_t kReplyWaitMs = 24;    // between a short command and its reply
constexpr uint32_t kBootStepWaitMs = 10; // between the two bootloader commands
constexpr uint32_t kErrorBlinkMs = 200;
constexpr int kCenterAttempts = 11;
constexpr uint8_t kCenterOk = 0x88; // reply byte 4 of a good set-centre

// Reply buffer: a whole report of any supported length fits.
using Reply = std::array<uint8_t, ynq::kMaxReport>;

uint16_t Random16() {
    return static_cast<uint16_t>(QRandomGenerator::global()->bounded(65536));
}

} // namespace

bool TDmTrackCpl::WriteShort(TynqHidDevice& ch, uint8_t code) {
    const std::array<uint8_t, 4> report{ynq::kReportId, ynq::kRequestHeader, ynq::kShortCommand,
                                        code};
    return ch.SendFReport(report);
}

bool TDmTrackCpl::ShortExchange(TynqHidDevice& ch, uint8_t code) {
    if (!WriteShort(ch, code))
        return false;
    YnqUtils::Delay(kReplyWaitMs);
    Reply reply{};
    return ch.GetFReport(ynq::kReportId, reply);
}

bool TDmTrackCpl::DeferIfBusy(core::Channel channel, void (TDmTrackCpl::*self)()) {
    return guard_.DeferIfBusy(channel, [this, self] { (this->*self)(); });
}

// ---- LEDs ---------------------------------------------------------------------------------

void TDmTrackCpl::SetLed(uint8_t Mask, uint8_t b1, uint8_t b2, uint8_t b3) {
    if (guard_.DeferIfBusy(core::Channel::Indicator,
                           [this, Mask, b1, b2, b3] { SetLed(Mask, b1, b2, b3); }))
        return;
    lastCommandOk_ = false;
    if (!RavadOroraYnqHid)
        return;
    const std::array<uint8_t, 8> report{
        ynq::kReportId, ynq::kRequestHeader, ynq::kShortCommand, cmd::kLed, Mask, b1, b2, b3};
    lastCommandOk_ = RavadOroraYnqHid->SendFReport(report);
}

void TDmTrackCpl::SetLedIr(bool Fire) {
    if (Fire)
        SetLed(0x11, static_cast<uint8_t>(BrightLedIR), 0, 0);
    else
        SetLed(0x01, 0, 0, 0);
}

void TDmTrackCpl::SetLedBlue(bool Fire) {
    if (Fire)
        SetLed(0x33, static_cast<uint8_t>(BrightLedIR), static_cast<uint8_t>(BrightLedBlue), 0);
    else
        SetLed(0x03, 0, 0, 0);
}

void TDmTrackCpl::SetLedRed(bool Fire) {
    if (Fire)
        SetLed(0x55, static_cast<uint8_t>(BrightLedIR), 0, static_cast<uint8_t>(BrightLedRed));
    else
        SetLed(0x05, 0, 0, 0);
}

void TDmTrackCpl::SetLedOff() {
    SetLed(0x77, 0, 0, 0);
}

void TDmTrackCpl::ReadyBlick(bool TestState) {
    SetLedIr(true);
    if (TestState && !FTrackerOnState)
        return;
    if (TrackYnqHid) {
        SetLedRed(false);
        SetLedBlue(true);
    } else {
        SetLedBlue(false);
        SetLedRed(true);
    }
}

void TDmTrackCpl::ErrorBlick(const QString& Msg) {
    if (Msg.isEmpty())
        return;
    LogMessage(Msg);
    SetLedRed(true);
    YnqUtils::Delay(kErrorBlinkMs);
    ReadyBlick(true);
}

// ---- On, off, centre ----------------------------------------------------------------------

void TDmTrackCpl::TrackerOn() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerOn))
        return;
    SetTrackerOnState(false);
    ReadyBlick(true);
    lastCommandOk_ = false;
    if (!TrackYnqHid)
        return;
    bool ok = false;
    {
        core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
        TynqHidDevice& ch = *TrackYnqHid;
        ok = ShortExchange(ch, cmd::kOn);
        if (ok)
            SetTrackerOnState(true);
    }
    ReadyBlick(true);
    lastCommandOk_ = ok;
}

void TDmTrackCpl::TrackerOff(uint8_t code) {
    bool ok = false;
    if (TrackYnqHid) {
        {
            core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
            TynqHidDevice& ch = *TrackYnqHid;
            ok = ShortExchange(ch, code);
            if (ok)
                SetTrackerOnState(false);
        }
        ReadyBlick(true);
    }
    SetLedOff();
    lastCommandOk_ = ok;
}

void TDmTrackCpl::TrackerOffReturnCenter() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerOffReturnCenter))
        return;
    TrackerOff(cmd::kOffReturnCenter);
}

void TDmTrackCpl::TrackerOffCurrentValue() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerOffCurrentValue))
        return;
    TrackerOff(cmd::kOffCurrentValue);
}

void TDmTrackCpl::TrackerResetCenter() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerResetCenter))
        return;
    lastCommandOk_ = false;
    if (!TrackYnqHid)
        return;
    bool ok = false;
    {
        core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
        ok = ShortExchange(*TrackYnqHid, cmd::kResetCenter); // only tools look at the result
    }
    ReadyBlick(true);
    lastCommandOk_ = ok;
}

void TDmTrackCpl::TrackerSetCenter() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerSetCenter))
        return;
    QString text;
    lastCommandOk_ = false;
    if (!TrackYnqHid)
        return;
    {
        core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
        TynqHidDevice& ch = *TrackYnqHid;
        for (int attempt = 0; attempt < kCenterAttempts; ++attempt) {
            std::array<uint8_t, 128> request{};
            request[0] = ynq::kReportId;
            request[1] = ynq::kRequestHeader;
            request[2] = ynq::kShortCommand;
            request[3] = cmd::kSetCenter;
            const uint16_t r1 = Random16();
            const uint16_t r2 = Random16();
            request[4] = static_cast<uint8_t>(r1 & 0xFF);
            request[5] = static_cast<uint8_t>(r1 >> 8);
            request[6] = static_cast<uint8_t>(r2 & 0xFF);
            request[7] = static_cast<uint8_t>(r2 >> 8);
            if (!ch.SendFReport(request)) {
                text = QStringLiteral("Error in FReport");
            } else {
                YnqUtils::Delay(kReplyWaitMs);
                Reply reply{};
                if (!ch.GetFReport(ynq::kReportId, reply)) {
                    text = QStringLiteral("Error in FReport");
                } else {
                    if (reply[4] != kCenterOk)
                        text = QStringLiteral("Error in center");
                    bool echoGood = true;
                    for (int i = 0; i < 4; ++i)
                        echoGood =
                            echoGood && reply[5 + i] == static_cast<uint8_t>(~request[4 + i]);
                    if (echoGood)
                        break;
                    text += QStringLiteral(" BAD CRC");
                }
            }
            YnqUtils::Delay(kReplyWaitMs);
        }
    }
    if (!text.isEmpty()) {
        ErrorBlick(text);
        ReadyBlick(true);
    }
    lastCommandOk_ = text.isEmpty();
}

// ---- Parameter block ----------------------------------------------------------------------

void TDmTrackCpl::ReadBlock(uint8_t code, int attempts, bool retrySleep, bool touchNeedRead) {
    bool ok = false;
    QString errText;
    {
        core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
        while (!ok && attempts > 0) {
            Raw.fill(0);
            if (!TrackYnqHid || !SrcHid) {
                lastCommandOk_ = false;
                return; // a device went meanwhile: no message, nothing else changes
            }
            TynqHidDevice& ch = *TrackYnqHid;
            uint16_t received = 0;
            ok = ch.GetLongData(true, ynq::kReportId, code,
                                static_cast<uint16_t>(ynq::kParamBlockSize), 0, Raw, received);
            const int err = ch.CurrDev() ? ch.CurrDev()->lastError() : 0;
            errText = QString::fromStdString(std::system_category().message(err));
            --attempts;
            // A plain sleep: nothing else runs meanwhile.
            if (retrySleep)
                QThread::msleep(static_cast<unsigned long>(HID_Read_Interval));
        }
    }
    lastReadOk_ = ok;
    lastReadError_ = errText;
    lastCommandOk_ = ok;
    if (!ok)
        view_->ShowMessage(core::kReadErrorPrefix + errText + QLatin1Char(']'));
    if (touchNeedRead)
        Track_Need_Read = false;
}

void TDmTrackCpl::TrackerGetEEPROM() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerGetEEPROM))
        return;
    lastCommandOk_ = false;
    lastReadOk_ = false; // a read that stops early for a missing device has not succeeded
    if (!TrackYnqHid || !SrcHid)
        return;
    ReadBlock(cmd::kReadEeprom, HID_Read_Count, true, true);
}

void TDmTrackCpl::TrackerGetRAM() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerGetRAM))
        return;
    lastCommandOk_ = false;
    lastReadOk_ = false; // a read that stops early for a missing device has not succeeded
    if (!TrackYnqHid || !SrcHid)
        return;
    ReadBlock(cmd::kReadRam, 1, false, false);
}

void TDmTrackCpl::TrackerSetEEPROM() {
    if (DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerSetEEPROM))
        return;
    lastWriteOk_ = false;
    lastCommandOk_ = false;
    if (!TrackYnqHid || !SrcHid)
        return;
    core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
    lastWriteOk_ = TrackYnqHid->SetLongData(ynq::kReportId, cmd::kWriteEeprom, Raw,
                                            static_cast<uint16_t>(ynq::kParamBlockSize), 0);
    lastCommandOk_ = lastWriteOk_;
}

// ---- Maintenance --------------------------------------------------------------------------

void TDmTrackCpl::WriteOnly(uint8_t code) {
    lastCommandOk_ = false;
    if (!TrackYnqHid || !SrcHid)
        return;
    core::ExchangeGuard::Scope exchange(guard_, core::Channel::Tracker);
    lastCommandOk_ = WriteShort(*TrackYnqHid, code);
}

void TDmTrackCpl::TrackRestart() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackRestart))
        WriteOnly(cmd::kRestart);
}

void TDmTrackCpl::TrackerClearParams() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerClearParams))
        WriteOnly(cmd::kClearParams);
}

void TDmTrackCpl::TrackClbrStart() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackClbrStart))
        WriteOnly(cmd::kClbrStart);
}

void TDmTrackCpl::TrackClbrSave() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackClbrSave))
        WriteOnly(cmd::kClbrSave);
}

void TDmTrackCpl::TrackClbrReset() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackClbrReset))
        WriteOnly(cmd::kClbrReset);
}

void TDmTrackCpl::RavadOroraRestart() {
    if (DeferIfBusy(core::Channel::Indicator, &TDmTrackCpl::RavadOroraRestart))
        return;
    lastCommandOk_ = false;
    if (!RavadOroraYnqHid || !DestHid)
        return;
    core::ExchangeGuard::Scope exchange(guard_, core::Channel::Indicator);
    lastCommandOk_ = WriteShort(*RavadOroraYnqHid, cmd::kRestart);
}

void TDmTrackCpl::GotoBoot(core::Channel channel) {
    const bool tracker = channel == core::Channel::Tracker;
    TynqHidDevice* ch = tracker ? TrackYnqHid.get() : RavadOroraYnqHid.get();
    platform::HidDevice* partner = tracker ? SrcHid : DestHid;
    lastCommandOk_ = false;
    if (!ch || !partner)
        return;
    core::ExchangeGuard::Scope exchange(guard_, channel);
    const bool first = WriteShort(*ch, cmd::kBootStep1); // each is sent whatever the other did
    YnqUtils::Delay(kBootStepWaitMs);
    const bool second = WriteShort(*ch, cmd::kBootStep2);
    lastCommandOk_ = first && second;
}

void TDmTrackCpl::TrackerGotoBoot() {
    if (!DeferIfBusy(core::Channel::Tracker, &TDmTrackCpl::TrackerGotoBoot))
        GotoBoot(core::Channel::Tracker);
}

void TDmTrackCpl::RavadOroraGotoBoot() {
    if (!DeferIfBusy(core::Channel::Indicator, &TDmTrackCpl::RavadOroraGotoBoot))
        GotoBoot(core::Channel::Indicator);
}
