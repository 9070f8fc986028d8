// Start-up and shutdown against the simulated devices: both devices, one, none, a device in its
// bootloader; the order of pages and splash progress; what the shutdown sends.
#include "CoreFixture.h"

namespace coretest {
namespace {

const QString kTrackerLine = QStringLiteral("Quivra Tracker [Ver: 01.02]");
const QString kIndicatorLine = QStringLiteral("Quivra RavadOrora [Ver: 01.02]");

struct StartCase {
    const char* name;
    bool tracker, indicator, boot;
    QString trackerLine, indicatorLine;
    std::vector<QString> log; // log lines of the first scan
};

class StartupTest : public CoreTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartupTest, FirstScanFindsTheDevices) {
    const StartCase& c = GetParam();
    WriteConfig();
    simConfig.trackerPlugged = c.tracker;
    simConfig.indicatorPlugged = c.indicator;
    simConfig.bootPlugged = c.boot;
    Start();
    EXPECT_EQ(core->TrackerStatusLine(), c.trackerLine);
    EXPECT_EQ(core->IndicatorStatusLine(), c.indicatorLine);
    EXPECT_EQ(core->YNQ_BOOT, c.boot);
    EXPECT_EQ(logged, c.log);
    EXPECT_EQ(view.log, c.log); // the service page exists, so it got them too
    EXPECT_EQ(bool(core->TrackYnqHid), c.tracker);
    EXPECT_EQ(core->DestHid != nullptr, c.tracker);
    EXPECT_EQ(bool(core->RavadOroraYnqHid), c.indicator);
    EXPECT_EQ(core->TrackJoyName, c.tracker ? QStringLiteral("Quivra Tracker") : QString());
    EXPECT_EQ(core->FirstRunTracker, !c.tracker);
    EXPECT_EQ(core->DestBufLen, c.tracker ? 65u : 0u);
    EXPECT_FALSE(core->TrackerOnState());
    // A tracker found at start is switched off once (return to centre by default).
    EXPECT_EQ(Codes("tracker"), c.tracker ? std::vector<int>{0x18} : std::vector<int>{});
    EXPECT_TRUE(core->tmJoyPoll.isActive());
    EXPECT_TRUE(core->tmHisto.isActive());
    EXPECT_TRUE(core->tmCheckUSB.isActive());
    EXPECT_TRUE(core->Track_Need_Read);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, StartupTest,
    ::testing::Values(StartCase{"both", true, true, false, kTrackerLine, kIndicatorLine, {}},
                      StartCase{"tracker_only",
                                true,
                                false,
                                false,
                                kTrackerLine,
                                core::kDisconnected,
                                {core::kIndicatorMissingLog}},
                      StartCase{"indicator_only",
                                false,
                                true,
                                false,
                                core::kDisconnected,
                                kIndicatorLine,
                                {core::kTrackerMissingLog}},
                      StartCase{"none",
                                false,
                                false,
                                false,
                                core::kDisconnected,
                                core::kDisconnected,
                                {core::kTrackerMissingLog, core::kIndicatorMissingLog}},
                      StartCase{"boot_device",
                                false,
                                true,
                                true,
                                core::kDisconnected,
                                kIndicatorLine,
                                {core::kTrackerMissingLog}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CoreTest, PagesAndSplashInTheirOrder) {
    WriteConfig();
    Start();
    using core::Page;
    EXPECT_EQ(view.created, (std::vector<Page>{Page::Buttons, Page::Profiles, Page::CreateFile,
                                               Page::SaveQuery, Page::SaveQuery2b, Page::RavadOrora,
                                               Page::About, Page::Sets, Page::OpenGL}));
    // The entry point adds 0 before and 100 after.
    EXPECT_EQ(progress,
              (std::vector<int>{10, 15, 20, 25, 30, 35, 40, 45, 60, 70, 80, 90, 100, 100}));
    EXPECT_EQ(view.splash, progress);
    // Bindings page, then sliders, then the scan's status lines and UpdateSettings(true).
    const auto at = [&](const std::string& call) {
        return std::find(view.calls.begin(), view.calls.end(), call) - view.calls.begin();
    };
    EXPECT_LT(at("AssignActions"), at("UpdateSettings(false)"));
    EXPECT_LT(at("UpdateSettings(false)"), at("sliders:255,255,125"));
    EXPECT_LT(at("sliders:255,255,125"), at("tracker:Quivra Tracker [Ver: 01.02]"));
    EXPECT_LT(at("indicator:Quivra RavadOrora [Ver: 01.02]"), at("UpdateSettings(true)"));
    // Bindings were switched on while no page existed: nothing was shown for it.
    EXPECT_TRUE(core->ActiveButtons());
    EXPECT_FALSE(view.Called("tray:on"));
}

TEST_F(CoreTest, HeadlessStartHasNoPages) {
    WriteConfig();
    view.createPages = false;
    Start();
    EXPECT_EQ(progress, (std::vector<int>{10, 15, 20, 25, 30, 35, 40, 45, 100}));
    EXPECT_FALSE(core->PageExists(core::Page::About));
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(core->TrackerStatusLine(), kTrackerLine);
}

TEST_F(CoreTest, EntryPointSwitchesTheBindingsOff) {
    WriteConfig();
    Start();
    view.calls.clear();
    core->SetActiveButtons(false);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"hotkeys:off", "tray:off"}));
    view.calls.clear();
    core->SetActiveButtons(false); // unchanged: nothing
    EXPECT_TRUE(view.calls.empty());
    core->SetActiveButtons(true);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"UpdateSettings(true)", "tray:on"}));
}

struct ShutdownCase {
    const char* name;
    bool offCenter;
    bool tracker;
    std::vector<int> trackerCodes;
};

class ShutdownTest : public CoreTest, public ::testing::WithParamInterface<ShutdownCase> {};

TEST_P(ShutdownTest, SwitchesOffByTheOffModeAndDarkens) {
    const ShutdownCase& c = GetParam();
    WriteConfig();
    simConfig.trackerPlugged = c.tracker;
    Start();
    core->SetFlgOffCenter(c.offCenter);
    sim->clearWire();
    sim::SimHidController* s = sim;
    const auto& wire = s->wire();
    core->DataModuleDestroy();
    std::vector<int> trackerCodes;
    QByteArray lastLed;
    for (const sim::WireRecord& r : wire) {
        if (r.kind != sim::WireRecord::Kind::Set)
            continue;
        if (r.device == "tracker")
            trackerCodes.push_back(static_cast<uint8_t>(r.bytes.at(3)));
        else if (r.device == "indicator")
            lastLed = r.bytes.left(8);
    }
    EXPECT_EQ(trackerCodes, c.trackerCodes);
    EXPECT_EQ(lastLed, QByteArray("\x59\xA5\x5A\x0B\x77\x00\x00\x00", 8));
    EXPECT_FALSE(core->TrackYnqHid);
    EXPECT_FALSE(core->RavadOroraYnqHid);
    EXPECT_FALSE(core->InputManager);
    EXPECT_FALSE(s->indicator().irOn || s->indicator().blueOn || s->indicator().redOn);
}

INSTANTIATE_TEST_SUITE_P(OffMode, ShutdownTest,
                         ::testing::Values(ShutdownCase{"center", true, true, {0x18}},
                                           ShutdownCase{"keep", false, true, {0x19}},
                                           ShutdownCase{"no_tracker", true, false, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace coretest
