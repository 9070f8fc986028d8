// Device discovery: status lines and the update hint, plugging and unplugging, the rescan
// timer, the LED greeting, devices without a feature report, duplicate identifiers.
#include "CoreFixture.h"

namespace coretest {
namespace {

struct HintCase {
    const char* name;
    uint16_t release;
    const char* fmwVer;
    int bootButton;
    QString line;
};

class StatusLineTest : public CoreTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(StatusLineTest, ShowsNameVersionAndHint) {
    const HintCase& c = GetParam();
    WriteConfig(QByteArray("[Dest]\nVID=0x1209\nPID=0xA7B1\nFmwVer=") + c.fmwVer + "\nBootButton=" +
                QByteArray::number(c.bootButton) + "\n[Source]\nVID=0x1209\nPID=0xA7B2\n");
    simConfig.tracker.release = c.release;
    simConfig.tracker.product = QStringLiteral(" Quivra Tracker ");
    Start();
    EXPECT_EQ(core->TrackerStatusLine(), c.line);
    EXPECT_EQ(core->TrackJoyName, "Quivra Tracker"); // trimmed; the line keeps the blanks
}

const QString kHint = QStringLiteral(" (Требуется обновление прошивки)");
INSTANTIATE_TEST_SUITE_P(
    Versions, StatusLineTest,
    ::testing::Values(
        HintCase{"same", 0x0102, "01.02", 1, " Quivra Tracker  [Ver: 01.02]"},
        HintCase{"newer_expected", 0x0102, "01.03", 1, " Quivra Tracker  [Ver: 01.02]" + kHint},
        HintCase{"empty_expected", 0x0102, "", 1, " Quivra Tracker  [Ver: 01.02]" + kHint},
        HintCase{"lower_case", 0x1A2B, "1a.2b", 1, " Quivra Tracker  [Ver: 1A.2B]" + kHint},
        HintCase{"hex_digits", 0x1A2B, "1A.2B", 1, " Quivra Tracker  [Ver: 1A.2B]"},
        HintCase{"no_boot_button", 0x0102, "01.03", 0, " Quivra Tracker  [Ver: 01.02]"},
        HintCase{"boot_button_2", 0x0102, "01.03", 2, " Quivra Tracker  [Ver: 01.02]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CoreTest, UnplugAndPlugTheTracker) {
    WriteConfig();
    Start();
    core->TrackerOn();
    ASSERT_TRUE(core->TrackerOnState());
    logged.clear();

    sim->plugTracker(false);
    ASSERT_TRUE(WaitFor([&] { return core->TrackerStatusLine() == core::kDisconnected; }));
    EXPECT_FALSE(core->TrackYnqHid);
    EXPECT_EQ(core->DestHid, nullptr);
    EXPECT_EQ(logged, std::vector<QString>{core::kTrackerMissingLog});
    EXPECT_TRUE(core->FirstRunTracker);
    EXPECT_FALSE(core->TrackerOnState());
    EXPECT_FALSE(core->TrackerLampVisible());
    EXPECT_EQ(core->IndicatorStatusLine(), "Quivra RavadOrora [Ver: 01.02]");

    sim->clearWire();
    sim->plugTracker(true);
    ASSERT_TRUE(WaitFor([&] { return core->TrackerStatusLine() != core::kDisconnected; }));
    EXPECT_EQ(core->TrackerStatusLine(), "Quivra Tracker [Ver: 01.02]");
    EXPECT_EQ(Codes("tracker"), std::vector<int>{0x18}); // switched off once more
    EXPECT_FALSE(core->FirstRunTracker);
}

TEST_F(CoreTest, UnplugTheIndicator) {
    WriteConfig();
    Start();
    sim->plugIndicator(false);
    ASSERT_TRUE(WaitFor([&] { return core->IndicatorStatusLine() == core::kDisconnected; }));
    EXPECT_FALSE(core->RavadOroraYnqHid);
    EXPECT_EQ(core->SrcHid, nullptr);
    EXPECT_EQ(logged, std::vector<QString>{core::kIndicatorMissingLog});
}

struct RescanCase {
    const char* name;
    bool tracker, indicator;
    int rescans; // asked for by one tmCheckUSB tick
};

class RescanTest : public CoreTest, public ::testing::WithParamInterface<RescanCase> {};

TEST_P(RescanTest, RescansOnlyWhileADeviceIsMissing) {
    const RescanCase& c = GetParam();
    WriteConfig();
    simConfig.trackerPlugged = c.tracker;
    simConfig.indicatorPlugged = c.indicator;
    Start();
    const int before = sim->deviceChanges;
    core->tmCheckUSBTimer();
    EXPECT_EQ(sim->deviceChanges - before, c.rescans);
    EXPECT_TRUE(core->tmCheckUSB.isActive());
}

INSTANTIATE_TEST_SUITE_P(Presence, RescanTest,
                         ::testing::Values(RescanCase{"both", true, true, 0},
                                           RescanCase{"no_tracker", false, true, 1},
                                           RescanCase{"no_indicator", true, false, 1},
                                           RescanCase{"none", false, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CoreTest, RescanTimerFindsALatePluggedDevice) {
    WriteConfig();
    simConfig.indicatorPlugged = false;
    Start();
    const int before = sim->deviceChanges;
    ASSERT_TRUE(WaitFor([&] { return sim->deviceChanges > before; })); // the 2 s timer ticked
}

TEST_F(CoreTest, LedGreetingOnEveryScan) {
    WriteConfig();
    Start();
    sim->clearWire();
    view.calls.clear();
    sim->plugUnrelated(true); // any change of the system's HID devices runs a full scan
    ASSERT_TRUE(WaitFor([&] { return view.Called("UpdateSettings(true)"); }));
    std::vector<QByteArray> leds;
    for (const QByteArray& b : Written("indicator"))
        leds.push_back(b.left(8).toHex(' '));
    EXPECT_EQ(leds, (std::vector<QByteArray>{
                        "59 a5 5a 0b 03 00 00 00", // blue off
                        "59 a5 5a 0b 55 7d 00 ff", // red on (infrared 125, red 255)
                        "59 a5 5a 0b 05 00 00 00", // red off
                        "59 a5 5a 0b 33 7d ff 00", // blue on
                        "59 a5 5a 0b 03 00 00 00", // blue off
                        "59 a5 5a 0b 11 7d 00 00", // ready: infrared only, tracker off
                    }));
    EXPECT_TRUE(Written("tracker").empty()); // not a first run: no switch-off
    for (const QByteArray& b : Written("indicator"))
        EXPECT_EQ(b.size(), 65); // padded to the report length
}

TEST_F(CoreTest, DeviceWithoutFeatureReportTakesNoRole) {
    WriteConfig();
    Start();
    sim->faults().zeroReportLength = true;
    sim->plugTracker(false);
    ASSERT_TRUE(WaitFor([&] { return core->TrackerStatusLine() == core::kDisconnected; }));
    const int before = scans;
    sim->plugTracker(true);
    ASSERT_TRUE(WaitFor([&] { return scans > before; }));
    EXPECT_EQ(core->TrackerStatusLine(), core::kDisconnected);
    EXPECT_FALSE(core->TrackYnqHid);
}

} // namespace
} // namespace coretest
