// Plugging and unplugging: the enumerated list and its order, notifications on the event loop,
// check-out rules, device object lifetime, the bootloader hand-over and the wire log.
#include "SimFixture.h"

#include <cerrno>

using namespace simtest;

namespace {

// Records the controller's notifications while it lives.
struct Notifications {
    explicit Notifications(platform::HidController* controller) {
        QObject::connect(controller, &platform::HidController::deviceChanged, &context,
                         [this] { ++changed; });
        QObject::connect(controller, &platform::HidController::deviceUnplugged, &context,
                         [this](platform::HidDevice* device) {
                             unplugged.push_back(device);
                             changedBeforeUnplug += changed;
                         });
        QObject::connect(controller, &platform::HidController::problem, &context,
                         [this](const QString& message) { problems << message; });
    }
    QObject context;
    int changed = 0;
    int changedBeforeUnplug = 0; // deviceChanged seen before each unplug, summed
    std::vector<platform::HidDevice*> unplugged;
    QStringList problems;
};

class HotplugTest : public SimFixture {
protected:
    QStringList listed() {
        QStringList names;
        hid->enumerate([&](platform::HidDevice& device, int index) {
            EXPECT_EQ(index, names.size());
            names << device.productName();
            return true;
        });
        return names;
    }
};

TEST_F(HotplugTest, EnumerationOrderIsFixed) {
    sim::SimConfig config;
    config.unrelatedPlugged = true;
    config.bootPlugged = true;
    start(config);
    EXPECT_EQ(listed(), (QStringList{"Quivra Tracker", "Quivra RavadOrora", "USB Optical Mouse",
                                     "YNQ-Boot"}));
    hid->enumerate([](platform::HidDevice& device, int) {
        EXPECT_TRUE(device.path().startsWith("sim:")) << device.path().toStdString();
        return true;
    });

    int calls = 0;
    hid->enumerate([&](platform::HidDevice&, int) { return ++calls < 2; });
    EXPECT_EQ(calls, 2) << "enumeration stops when the handler says so";
}

TEST_F(HotplugTest, IdentifiersOfTheDevices) {
    sim::SimConfig config;
    config.bootPlugged = true;
    start(config);
    const platform::HidAttributes t = tracker->attributes();
    EXPECT_EQ(t.vendorId, config.tracker.vendorId);
    EXPECT_EQ(t.productId, config.tracker.productId);
    EXPECT_EQ(t.release, 0x0102);
    EXPECT_EQ(tracker->featureReportLength(), 65);
    platform::HidDevice* boot = open("YNQ-Boot");
    ASSERT_NE(boot, nullptr);
    EXPECT_EQ(boot->attributes().vendorId, 0x1209);
    EXPECT_EQ(boot->attributes().productId, 0xB007);

    hid->setReportLength(17);
    EXPECT_EQ(tracker->featureReportLength(), 17) << "asked afresh every time";
    EXPECT_EQ(indicator->featureReportLength(), 17);
}

TEST_F(HotplugTest, FirstRescanAlwaysNotifiesLaterOnlyOnChange) {
    Notifications seen(hid.get());
    hid->deviceChange();
    EXPECT_EQ(seen.changed, 1);
    hid->deviceChange();
    EXPECT_EQ(seen.changed, 1);
}

TEST_F(HotplugTest, PluggingQueuesOneCoalescedRescan) {
    hid->deviceChange();
    Notifications seen(hid.get());

    hid->plugTracker(false);
    hid->plugIndicator(false);
    hid->plugUnrelated(true);
    EXPECT_FALSE(hid->trackerPlugged());
    EXPECT_EQ(seen.changed, 0) << "the notification goes through the event loop";
    EXPECT_EQ(listed().size(), 2) << "the list is the one of the last rescan";

    pump();
    EXPECT_EQ(seen.changed, 1);
    EXPECT_EQ(seen.unplugged, (std::vector<platform::HidDevice*>{tracker, indicator}));
    EXPECT_EQ(seen.changedBeforeUnplug, 0) << "unplug notifications come first";
    EXPECT_EQ(listed(), QStringList{"USB Optical Mouse"});

    pump();
    EXPECT_EQ(seen.changed, 1) << "one burst, one rescan";
    hid->plugTracker(false); // no change at all
    pump();
    EXPECT_EQ(seen.changed, 1);
}

// Counts the rescans the hotplug notifications ask for.
class CountingController : public sim::SimHidController {
public:
    using sim::SimHidController::SimHidController;
    void deviceChange() override {
        ++rescans;
        sim::SimHidController::deviceChange();
    }
    int rescans = 0;
};

TEST(HotplugBurstTest, ABurstOfPlugsAsksForOneRescan) {
    CountingController hid;
    hid.plugTracker(false);
    hid.plugIndicator(false);
    hid.plugUnrelated(true);
    EXPECT_EQ(hid.rescans, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(hid.rescans, 1);
    hid.plugTracker(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(hid.rescans, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(hid.rescans, 2);
}

TEST_F(HotplugTest, UnpluggedDeviceLivesUntilCheckedIn) {
    hid->deviceChange();
    ASSERT_EQ(hid->liveDeviceCount(), 2);
    hid->plugTracker(false);
    pump();
    EXPECT_EQ(hid->liveDeviceCount(), 2) << "still checked out";
    EXPECT_FALSE(command(tracker, 0x1D));
    EXPECT_EQ(tracker->lastError(), ENODEV);
    EXPECT_FALSE(get(tracker));
    EXPECT_EQ(tracker->lastError(), ENODEV);
    EXPECT_EQ(tracker->productName(), "Quivra Tracker") << "the object is still readable";

    hid->checkIn(tracker);
    EXPECT_EQ(hid->liveDeviceCount(), 1);
    hid->checkIn(tracker); // a second check-in of the same pointer is ignored
    hid->checkIn(nullptr);
    EXPECT_EQ(hid->liveDeviceCount(), 1);
}

TEST_F(HotplugTest, DeviceNotCheckedOutIsFreedByTheRescan) {
    hid->checkIn(indicator);
    EXPECT_FALSE(command(indicator, 0x0B, {0x11, 1, 0, 0})) << "checked in: closed";
    EXPECT_EQ(indicator->lastError(), EBADF);
    hid->plugIndicator(false);
    EXPECT_EQ(hid->liveDeviceCount(), 2) << "still in the enumerated list";
    pump();
    EXPECT_EQ(hid->liveDeviceCount(), 1);
}

TEST_F(HotplugTest, PluggingAgainMakesAFreshDevice) {
    const QString oldPath = tracker->path();
    hid->tracker().on = true;
    hid->tracker().eeprom[50] = 0x42;
    hid->plugTracker(false);
    hid->plugTracker(true);
    pump();
    EXPECT_EQ(hid->liveDeviceCount(), 3);
    platform::HidDevice* fresh = open("Quivra Tracker");
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, tracker);
    EXPECT_NE(fresh->path(), oldPath);
    EXPECT_FALSE(hid->tracker().on) << "power-up";
    EXPECT_EQ(hid->tracker().eeprom[50], 0x42) << "the EEPROM keeps its contents";
    EXPECT_EQ(hid->tracker().ram[50], 0x42) << "RAM is loaded from the EEPROM";
    EXPECT_TRUE(command(fresh, 0x1D));
    EXPECT_FALSE(command(tracker, 0x1D));
}

TEST_F(HotplugTest, CheckOutRules) {
    const int opens = hid->openCount();
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(hid->checkOutByIndex(0), nullptr) << "already checked out";
    EXPECT_EQ(hid->checkOutByIndex(-1), nullptr);
    EXPECT_EQ(hid->checkOutByIndex(2), nullptr);
    EXPECT_EQ(hid->openCount(), opens);

    hid->checkIn(tracker);
    EXPECT_EQ(hid->checkOutByIndex(0), tracker) << "checked in, it can be opened again";
    EXPECT_EQ(hid->openCount(), opens + 1);

    // Unplugged after the list was taken: the open fails and says why.
    hid->checkIn(indicator);
    Notifications seen(hid.get());
    hid->plugIndicator(false);
    EXPECT_EQ(hid->checkOutByIndex(1), nullptr);
    ASSERT_EQ(seen.problems.size(), 1);
    EXPECT_TRUE(seen.problems[0].contains("sim:indicator")) << seen.problems[0].toStdString();
}

class BootloaderTest : public HotplugTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BootloaderTest, PrimeThenGoHandsOverToYnqBoot) {
    const bool ofTracker = GetParam();
    platform::HidDevice* device = ofTracker ? tracker : indicator;
    hid->deviceChange();
    Notifications seen(hid.get());

    // Not directly after each other: nothing happens.
    ASSERT_TRUE(command(device, 0x3B));
    ASSERT_TRUE(command(device, 0x00));
    ASSERT_TRUE(command(device, 0x55));
    ASSERT_TRUE(command(device, 0x55));
    EXPECT_FALSE(hid->bootDevicePlugged());

    ASSERT_TRUE(command(device, 0x3B));
    ASSERT_TRUE(command(device, 0x55));
    EXPECT_TRUE(hid->bootDevicePlugged());
    EXPECT_EQ(hid->trackerPlugged(), !ofTracker);
    EXPECT_EQ(hid->indicatorPlugged(), ofTracker);
    EXPECT_FALSE(command(device, 0x1D));
    EXPECT_EQ(device->lastError(), ENODEV);

    pump();
    EXPECT_EQ(seen.unplugged, std::vector<platform::HidDevice*>{device});
    EXPECT_EQ(seen.changed, 1);
    EXPECT_EQ(listed(),
              (QStringList{ofTracker ? "Quivra RavadOrora" : "Quivra Tracker", "YNQ-Boot"}));
    EXPECT_EQ(ofTracker ? hid->tracker().bootEntries : hid->indicator().bootEntries, 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, BootloaderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Tracker" : "Indicator"; });

TEST_F(HotplugTest, WireLogHoldsEveryRequestInOrder) {
    sim::SimConfig config;
    config.reportLength = 10;
    start(config);
    ASSERT_TRUE(command(tracker, 0x1B, {1, 2, 3, 4}));
    ASSERT_TRUE(get(tracker));
    ASSERT_TRUE(command(indicator, 0x0B, {0x11, 125, 0, 0}));
    hid->faults().getFails = 1;
    EXPECT_FALSE(get(tracker));

    const auto& wire = hid->wire();
    ASSERT_EQ(wire.size(), 4U);
    using K = sim::WireRecord::Kind;
    EXPECT_EQ(wire[0].kind, K::Set);
    EXPECT_EQ(wire[0].device, "tracker");
    EXPECT_EQ(wire[0].bytes, QByteArray::fromHex("59a55a1b010203040000"));
    EXPECT_TRUE(wire[0].ok);
    EXPECT_EQ(wire[1].kind, K::Get);
    EXPECT_EQ(wire[1].bytes, QByteArray::fromHex("591b3930000000000000"));
    EXPECT_EQ(wire[2].device, "indicator");
    EXPECT_EQ(wire[2].bytes, QByteArray::fromHex("59a55a0b117d00000000"));
    EXPECT_EQ(wire[3].kind, K::Get);
    EXPECT_FALSE(wire[3].ok);
    EXPECT_TRUE(wire[3].bytes.isEmpty());

    hid->clearWire();
    EXPECT_TRUE(hid->wire().empty());
}

} // namespace
