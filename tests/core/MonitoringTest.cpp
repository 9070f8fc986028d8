// Live monitoring: the histogram poll and the indicator page's test mode.
#include "CoreFixture.h"

namespace coretest {
namespace {

class MonitorTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        WriteConfig();
    }
    int Count(int code) const {
        const std::vector<int> codes = Codes("tracker");
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }
};

TEST_F(MonitorTest, HistogramShowsBytesTwoAndThree) {
    Start();
    sim->tracker().histogram = 0x3039; // reply bytes 2-3 = 0x39, 0x30
    view.indicatorShowing = true;
    ASSERT_TRUE(WaitFor([&] { return view.histoUpdates > 0; }));
    EXPECT_EQ(view.lastHisto, 12345);
    for (const QByteArray& b : Written("tracker")) {
        if (static_cast<uint8_t>(b.at(3)) != 0x1B)
            continue;
        EXPECT_EQ(b.left(4).toHex(' '), "59 a5 5a 1b");
        EXPECT_EQ(b.size(), 65); // the 128-byte request cut to the report length
        EXPECT_EQ(b.mid(8), QByteArray(57, '\0'));
    }
}

TEST_F(MonitorTest, NoPollWhileThePageIsHidden) {
    Start();
    sim->clearWire();
    core->tmHistoTimer(); // a tick with the page not showing
    EXPECT_EQ(Count(0x1B), 0);
    EXPECT_TRUE(core->tmHisto.isActive());
}

TEST_F(MonitorTest, MissingTrackerStopsThePollUntilTheNextScan) {
    Start();
    view.indicatorShowing = true;
    sim->plugTracker(false);
    ASSERT_TRUE(WaitFor([&] { return core->TrackerStatusLine() == core::kDisconnected; }));
    core->tmHistoTimer();
    EXPECT_FALSE(core->tmHisto.isActive());
    sim->clearWire();
    const int before = scans;
    sim->plugUnrelated(true); // any scan starts the poll again
    ASSERT_TRUE(WaitFor([&] { return scans > before; }));
    EXPECT_TRUE(core->tmHisto.isActive());
}

TEST_F(MonitorTest, AxisValuesReachThePage) {
    Start();
    core->SetLbAxis(100, 200);
    EXPECT_TRUE(view.Called("axis:100,200"));
}

struct TestModeCase {
    const char* name;
    bool visible;
    bool showing;
    bool onBefore;  // the tracker was on before entering
    int enterTimes; // TrackerToTest calls
    bool forceEnter;
    bool forceLeave;
    bool testMode; // after entering
    bool onAfterLeave;
};

class TestModeTest : public MonitorTest, public ::testing::WithParamInterface<TestModeCase> {};

TEST_P(TestModeTest, EntersAndLeaves) {
    const TestModeCase& c = GetParam();
    Start();
    if (c.onBefore)
        core->TrackerOn();
    ASSERT_EQ(core->TrackerOnState(), c.onBefore);
    view.appVisible = c.visible;
    view.indicatorShowing = c.showing;
    sim->clearWire();
    for (int i = 0; i < c.enterTimes; ++i)
        core->RavadOroraTest.TrackerToTest(c.forceEnter);
    EXPECT_EQ(core->RavadOroraTest.TestMode, c.testMode);
    if (c.testMode) {
        EXPECT_TRUE(core->TrackerOnState());
        EXPECT_EQ(Count(0x1D), c.enterTimes);
        EXPECT_EQ(Count(0x1E), c.enterTimes);
    } else {
        EXPECT_EQ(Count(0x1D), 0);
    }
    view.indicatorShowing = false; // another page
    core->RavadOroraTest.TrackerOffTest(c.forceLeave);
    EXPECT_FALSE(core->RavadOroraTest.TestMode);
    EXPECT_EQ(core->TrackerOnState(), c.onAfterLeave);
    EXPECT_EQ(sim->tracker().on, c.onAfterLeave);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TestModeTest,
    ::testing::Values(
        TestModeCase{"hidden_window", false, true, false, 1, false, false, false, false},
        TestModeCase{"page_not_showing", true, false, false, 1, false, false, false, false},
        TestModeCase{"off_before", true, true, false, 1, false, false, true, false},
        TestModeCase{"on_before", true, true, true, 1, false, false, true, true},
        TestModeCase{"entered_twice", true, true, false, 2, false, false, true, true},
        TestModeCase{"forced_entry", true, false, false, 1, true, false, true, false},
        TestModeCase{"forced_leave", true, true, true, 1, false, true, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonitorTest, PluggingTheTrackerWhileThePageIsShownEntersTestMode) {
    simConfig.trackerPlugged = false;
    Start();
    view.appVisible = true;
    view.indicatorShowing = true;
    sim->plugTracker(true);
    ASSERT_TRUE(WaitFor([&] { return core->RavadOroraTest.TestMode; }));
    EXPECT_TRUE(core->TrackerOnState());
    EXPECT_TRUE(sim->tracker().on);
    EXPECT_GE(sim->tracker().resetCentreCount, 1);
}

} // namespace
} // namespace coretest
