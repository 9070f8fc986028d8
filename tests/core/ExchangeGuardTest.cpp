// One exchange at a time per channel: the guard itself, and the core against the simulator
// with the histogram poll and user commands arriving inside exchanges.
#include "CoreFixture.h"

#include <QTimer>

namespace coretest {
namespace {

using core::Channel;
using core::ExchangeGuard;

TEST(ExchangeGuardUnit, QueuesWhileBusyAndRunsInOrderAfterwards) {
    ExchangeGuard guard;
    std::vector<std::string> order;
    EXPECT_TRUE(guard.RunOrDefer(Channel::Tracker, [&] { order.push_back("now"); }));
    {
        ExchangeGuard::Scope exchange(guard, Channel::Tracker);
        EXPECT_TRUE(guard.Busy(Channel::Tracker));
        EXPECT_FALSE(guard.Busy(Channel::Indicator));
        EXPECT_FALSE(guard.RunOrDefer(Channel::Tracker, [&] { order.push_back("a"); }));
        EXPECT_TRUE(guard.DeferIfBusy(Channel::Tracker, [&] {
            // A queued work that holds the channel itself, and queues one more meanwhile.
            ExchangeGuard::Scope inner(guard, Channel::Tracker);
            order.push_back("b");
            guard.DeferIfBusy(Channel::Tracker, [&] { order.push_back("d"); });
        }));
        guard.RunOrDefer(Channel::Tracker, [&] { order.push_back("c"); });
        EXPECT_TRUE(guard.RunOrDefer(Channel::Indicator, [&] { order.push_back("other"); }));
        EXPECT_EQ(guard.Pending(Channel::Tracker), 3u);
        order.push_back("end");
    }
    EXPECT_FALSE(guard.Busy(Channel::Tracker));
    EXPECT_EQ(guard.Pending(Channel::Tracker), 0u);
    EXPECT_EQ(order, (std::vector<std::string>{"now", "other", "end", "a", "b", "c", "d"}));
}

TEST(ExchangeGuardUnit, FreeChannelDefersNothing) {
    ExchangeGuard guard;
    EXPECT_FALSE(guard.DeferIfBusy(Channel::Indicator, [] { FAIL() << "must not run"; }));
    EXPECT_EQ(guard.Pending(Channel::Indicator), 0u);
}

class GuardTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        WriteConfig();
    }
};

// The write takes 15 reports of 9 data bytes, 10 ms apart, while the histogram poll ticks every
// 50 ms: without the guard its requests land inside the write frame.
TEST_F(GuardTest, ParameterWriteWithHistogramPollReachesTheEepromIntact) {
    simConfig.reportLength = 10;
    Start();
    view.indicatorShowing = true;
    ASSERT_TRUE(WaitFor([&] { return sim->tracker().histogramRequests >= 2; }));
    core->TrackerGetEEPROM();
    ASSERT_TRUE(core->LastEEPROMReadOk());
    for (int i : {5, 6, 20, 60, 123})
        core->Raw[static_cast<std::size_t>(i)] = static_cast<uint8_t>(0xA0 + i);
    for (int round = 0; round < 3; ++round) {
        sim->clearWire();
        const int accepted = sim->tracker().acceptedWrites;
        core->Raw[7] = static_cast<uint8_t>(round);
        core->TrackerSetEEPROM();
        EXPECT_TRUE(core->LastEEPROMWriteOk());
        EXPECT_EQ(sim->tracker().acceptedWrites, accepted + 1);
        EXPECT_EQ(sim->tracker().rejectedWrites, 0);
        EXPECT_TRUE(std::equal(sim->tracker().eeprom.begin(), sim->tracker().eeprom.end(),
                               core->Raw.begin()));
        // Nothing else went to the tracker during the write: 15 frame reports and no request
        // that asks for a reply.
        EXPECT_EQ(Written("tracker").size(), 15u);
        EXPECT_EQ(Codes("tracker").front(), 0x87);
        EXPECT_EQ(Gets("tracker"), 0);
        Pump(120); // the poll runs again between the writes
    }
    EXPECT_GT(view.histoUpdates, 0);
}

TEST_F(GuardTest, HistogramTickSkipsWhileTheTrackerIsBusy) {
    Start();
    view.indicatorShowing = true;
    sim->clearWire();
    {
        ExchangeGuard::Scope exchange(core->Exchanges(), Channel::Tracker);
        core->tmHistoTimer();
        EXPECT_TRUE(core->tmHisto.isActive()); // skipped, not stopped
        int value = 0;
        EXPECT_FALSE(core->TrackerReadHistogram(value));
    }
    EXPECT_TRUE(Written("tracker").empty());
}

TEST_F(GuardTest, UserCommandDuringAReadRunsRightAfterIt) {
    Start();
    sim->clearWire();
    // A hotkey fires while the read waits for its reply.
    QTimer::singleShot(5, core.get(), [this] {
        EXPECT_TRUE(core->ChannelBusy(Channel::Tracker));
        core->TrackerSetCenter();
        core->SetLedRed(false); // the indicator's channel is free: goes out at once
    });
    core->TrackerGetEEPROM();
    EXPECT_TRUE(core->LastEEPROMReadOk());
    EXPECT_EQ(sim->tracker().centreCount, 1);
    const std::vector<int> codes = Codes("tracker");
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes.front(), 0xC5);
    EXPECT_EQ(codes.back(), 0x1A); // after the whole read
    EXPECT_EQ(Written("indicator").size(), 1u);
    EXPECT_FALSE(core->ChannelBusy(Channel::Tracker));
}

TEST_F(GuardTest, QueuedCommandsKeepTheirOrder) {
    Start();
    sim->clearWire();
    {
        ExchangeGuard::Scope exchange(core->Exchanges(), Channel::Tracker);
        core->TrackerOn();
        core->TrackerResetCenter();
        core->TrackerOffCurrentValue();
        EXPECT_EQ(core->Exchanges().Pending(Channel::Tracker), 3u);
        EXPECT_TRUE(Written("tracker").empty());
    }
    EXPECT_EQ(Codes("tracker"), (std::vector<int>{0x1D, 0x1E, 0x19}));
    EXPECT_FALSE(core->TrackerOnState());
}

TEST_F(GuardTest, UnplugDuringAnExchangeFreesTheChannelAfterIt) {
    Start();
    QTimer::singleShot(5, core.get(), [this] {
        sim->plugTracker(false);
        sim->deviceChange(); // the scan runs inside the read's wait
    });
    core->TrackerGetEEPROM(); // must neither crash nor use a freed channel
    EXPECT_FALSE(core->TrackYnqHid);
    EXPECT_EQ(core->DestHid, nullptr);
    ASSERT_TRUE(WaitFor([&] { return core->TrackerStatusLine() == core::kDisconnected; }));
    EXPECT_EQ(sim->liveDeviceCount(), 1); // the old tracker object was checked in and freed
}

} // namespace
} // namespace coretest
