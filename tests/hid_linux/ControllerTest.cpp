// The hidraw controller's bookkeeping — list order, change and unplug notifications, check-out,
// object lifetime, feature requests — over a scripted system instead of real nodes.
#include "platform/hid/linux/HidapiOpen.h"
#include "platform/hid/linux/LinuxHidController.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace platform::hidraw;
using platform::HidDevice;

// What the scripted system shows and what was done to it.
struct FakeState {
    std::vector<HidrawNode> nodes;
    std::map<QString, int> openErrors; // path -> errno of a failing open
    int scans = 0;
    std::vector<QString> opened;
    int closed = 0;
    // The device's side of feature requests.
    std::vector<uint8_t> reply;  // what a get-feature delivers (cut to the size asked)
    int getError = 0;            // errno of a failing get-feature
    int sendError = 0;           // errno of a failing set-feature
    std::size_t sendShortBy = 0; // a set-feature writes this many bytes less
    std::vector<uint8_t> sent;   // the last set-feature's bytes
    std::size_t lastGetSize = 0;
};

class FakeHandle final : public HidrawHandle {
public:
    explicit FakeHandle(FakeState& state) : m_state(state) {}
    ~FakeHandle() override { ++m_state.closed; }

    long getFeature(uint8_t* buffer, std::size_t size) override {
        m_state.lastGetSize = size;
        if (m_state.getError != 0) {
            return -m_state.getError;
        }
        const std::size_t count = std::min(size, m_state.reply.size());
        std::copy_n(m_state.reply.begin(), count, buffer);
        return long(count);
    }

    long sendFeature(const uint8_t* buffer, std::size_t size) override {
        if (m_state.sendError != 0) {
            return -m_state.sendError;
        }
        m_state.sent.assign(buffer, buffer + size);
        return long(size - std::min(size, m_state.sendShortBy));
    }

private:
    FakeState& m_state;
};

class FakeSystem final : public HidrawSystem {
public:
    explicit FakeSystem(FakeState& state) : m_state(state) {}

    std::vector<HidrawNode> scan() override {
        ++m_state.scans;
        return m_state.nodes;
    }

    OpenResult open(const QString& path) override {
        OpenResult result;
        if (const auto error = m_state.openErrors.find(path); error != m_state.openErrors.end()) {
            result.error = error->second;
            result.message = openFailureMessage(path, error->second);
            return result;
        }
        m_state.opened.push_back(path);
        result.handle = std::make_unique<FakeHandle>(m_state);
        return result;
    }

private:
    FakeState& m_state;
};

HidrawNode node(const QString& path, uint16_t vendor = 0x1209, uint16_t product = 0xA7B1,
                int featureLength = 65) {
    HidrawNode n;
    n.path = path;
    n.productName = QStringLiteral("Device at ") + path;
    n.attributes = {vendor, product, 0x0102};
    n.featureReportLength = featureLength;
    return n;
}

class HidrawControllerTest : public testing::Test {
protected:
    HidrawControllerTest() : controller(std::make_unique<FakeSystem>(state)) {
        QObject::connect(&controller, &platform::HidController::deviceUnplugged,
                         [this](HidDevice* device) {
                             // Reading the object proves it is alive while announced.
                             events.push_back("unplugged " + device->path().toStdString());
                             if (onUnplugged) {
                                 onUnplugged(device);
                             }
                         });
        QObject::connect(&controller, &platform::HidController::deviceChanged,
                         [this] { events.push_back("changed"); });
        QObject::connect(&controller, &platform::HidController::problem,
                         [this](const QString& message) {
                             events.push_back("problem " + message.toStdString());
                         });
    }

    // The listed devices as (path, index) in the order enumerate hands them out.
    std::vector<std::pair<QString, int>> listed() {
        std::vector<std::pair<QString, int>> seen;
        controller.enumerate([&seen](HidDevice& device, int index) {
            seen.emplace_back(device.path(), index);
            return true;
        });
        return seen;
    }

    HidDevice* deviceAt(int index) {
        HidDevice* found = nullptr;
        controller.enumerate([&](HidDevice& device, int i) {
            if (i == index) {
                found = &device;
            }
            return true;
        });
        return found;
    }

    // Rescans and returns what it announced.
    std::vector<std::string> rescan() {
        events.clear();
        controller.deviceChange();
        return events;
    }

    FakeState state;
    LinuxHidController controller;
    std::vector<std::string> events;
    std::function<void(HidDevice*)> onUnplugged;
};

TEST_F(HidrawControllerTest, FirstRescanAlwaysAnnouncesAndUnchangedListsStayQuiet) {
    EXPECT_TRUE(listed().empty()); // nothing before the first rescan
    EXPECT_EQ(rescan(), std::vector<std::string>{"changed"});
    EXPECT_EQ(rescan(), std::vector<std::string>{});

    state.nodes = {node("/dev/hidraw0")};
    EXPECT_EQ(rescan(), std::vector<std::string>{"changed"});
    HidDevice* before = deviceAt(0);
    EXPECT_EQ(rescan(), std::vector<std::string>{});
    EXPECT_EQ(deviceAt(0), before); // the same object across rescans
    EXPECT_EQ(state.scans, 4);
}

TEST_F(HidrawControllerTest, ListsInNaturalPathOrderAndStopsWhenAsked) {
    state.nodes = {node("/dev/hidraw10"), node("/dev/hidraw2"), node("/dev/hidraw1"),
                   node("/dev/hidraw2")}; // a duplicate path is listed once
    controller.deviceChange();
    const std::vector<std::pair<QString, int>> expected = {
        {"/dev/hidraw1", 0}, {"/dev/hidraw2", 1}, {"/dev/hidraw10", 2}};
    EXPECT_EQ(listed(), expected);

    int calls = 0;
    controller.enumerate([&calls](HidDevice&, int index) {
        ++calls;
        return index < 1;
    });
    EXPECT_EQ(calls, 2);
}

TEST_F(HidrawControllerTest, AnnouncesUnplugsBeforeTheChange) {
    state.nodes = {node("/dev/hidraw0"), node("/dev/hidraw1"), node("/dev/hidraw2")};
    controller.deviceChange();
    std::vector<HidDevice*> announced;
    onUnplugged = [&announced](HidDevice* device) { announced.push_back(device); };
    HidDevice* first = deviceAt(0);
    HidDevice* third = deviceAt(2);

    state.nodes = {node("/dev/hidraw1"), node("/dev/hidraw3")};
    const std::vector<std::string> expected = {"unplugged /dev/hidraw0", "unplugged /dev/hidraw2",
                                               "changed"};
    EXPECT_EQ(rescan(), expected);
    EXPECT_EQ(announced, (std::vector<HidDevice*>{first, third}));
    const std::vector<std::pair<QString, int>> now = {{"/dev/hidraw1", 0}, {"/dev/hidraw3", 1}};
    EXPECT_EQ(listed(), now);
    EXPECT_EQ(controller.liveDeviceCount(), 2u); // the idle unplugged ones are gone
}

TEST_F(HidrawControllerTest, ANodeTakenOverByAnotherDeviceIsANewDevice) {
    state.nodes = {node("/dev/hidraw0", 0x1209, 0xA7B1)};
    controller.deviceChange();
    HidDevice* tracker = controller.checkOutByIndex(0);
    ASSERT_NE(tracker, nullptr);

    state.nodes = {node("/dev/hidraw0", 0x046D, 0xC077)};
    const std::vector<std::string> expected = {"unplugged /dev/hidraw0", "changed"};
    EXPECT_EQ(rescan(), expected);
    HidDevice* mouse = deviceAt(0);
    ASSERT_NE(mouse, nullptr);
    EXPECT_NE(mouse, tracker);
    EXPECT_EQ(mouse->attributes().vendorId, 0x046D);
    EXPECT_EQ(tracker->attributes().vendorId, 0x1209); // still valid until checked in
    EXPECT_NE(controller.checkOutByIndex(0), nullptr); // the new one is free to take
    controller.checkIn(tracker);
}

TEST_F(HidrawControllerTest, ChecksOutOnceAndAgainAfterCheckIn) {
    state.nodes = {node("/dev/hidraw0"), node("/dev/hidraw1")};
    controller.deviceChange();
    events.clear();

    HidDevice* device = controller.checkOutByIndex(1);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->path(), QStringLiteral("/dev/hidraw1"));
    EXPECT_EQ(device->featureReportLength(), 65);
    EXPECT_EQ(controller.checkOutByIndex(1), nullptr); // already checked out
    EXPECT_EQ(controller.checkOutByIndex(-1), nullptr);
    EXPECT_EQ(controller.checkOutByIndex(2), nullptr);
    EXPECT_TRUE(events.empty()); // none of these is a problem for the user
    EXPECT_EQ(state.opened, std::vector<QString>{"/dev/hidraw1"});

    controller.checkIn(device);
    EXPECT_EQ(state.closed, 1);
    EXPECT_EQ(controller.checkOutByIndex(1), device); // same object, opened again
    EXPECT_EQ(state.opened.size(), 2u);

    controller.checkIn(nullptr); // ignored
    HidrawDevice stranger(node("/dev/hidraw9"));
    controller.checkIn(&stranger); // not ours: ignored
    EXPECT_EQ(state.closed, 1);
}

TEST_F(HidrawControllerTest, AFailedOpenIsReportedWithPathAndRemedy) {
    state.nodes = {node("/dev/hidraw3")};
    controller.deviceChange();
    events.clear();
    state.openErrors["/dev/hidraw3"] = EACCES;

    EXPECT_EQ(controller.checkOutByIndex(0), nullptr);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "problem Cannot open /dev/hidraw3 (Permission denied): give your user "
                         "access with a udev rule (TAG+=\"uaccess\") for this device");

    state.openErrors.clear(); // the user fixed it: a later try succeeds
    EXPECT_NE(controller.checkOutByIndex(0), nullptr);
}

TEST_F(HidrawControllerTest, ACheckedOutDeviceOutlivesItsUnplugUntilCheckIn) {
    state.nodes = {node("/dev/hidraw0")};
    controller.deviceChange();
    HidDevice* device = controller.checkOutByIndex(0);
    ASSERT_NE(device, nullptr);

    state.nodes.clear();
    rescan();
    EXPECT_EQ(state.closed, 1); // the dead node's handle is closed at once
    EXPECT_EQ(controller.liveDeviceCount(), 1u);
    uint8_t report[8] = {0x59};
    EXPECT_FALSE(device->getFeature(report, sizeof report));
    EXPECT_EQ(device->lastError(), ENODEV);
    EXPECT_FALSE(device->setFeature(report, sizeof report));
    EXPECT_EQ(device->lastError(), ENODEV);
    EXPECT_EQ(device->path(), QStringLiteral("/dev/hidraw0"));

    controller.checkIn(device);
    EXPECT_EQ(controller.liveDeviceCount(), 0u);
}

// The core checks a device in from its unplug handler and may rescan from inside a handler (its
// waits pump the event loop); every pointer announced must stay valid throughout.
TEST_F(HidrawControllerTest, HandlersMayCheckInAndRescanWhileBeingNotified) {
    state.nodes = {node("/dev/hidraw0"), node("/dev/hidraw1")};
    controller.deviceChange();
    HidDevice* first = controller.checkOutByIndex(0);
    ASSERT_NE(first, nullptr);
    bool nested = false;
    onUnplugged = [&](HidDevice* device) {
        controller.checkIn(device);
        if (!nested) {
            nested = true;
            state.nodes.clear(); // the other one goes too, noticed by a nested rescan
            controller.deviceChange();
        }
        events.push_back("still there " + device->path().toStdString());
    };

    state.nodes = {node("/dev/hidraw1")};
    const std::vector<std::string> expected = {"unplugged /dev/hidraw0",   "unplugged /dev/hidraw1",
                                               "still there /dev/hidraw1", "changed",
                                               "still there /dev/hidraw0", "changed"};
    EXPECT_EQ(rescan(), expected);
    EXPECT_EQ(controller.liveDeviceCount(), 0u);
    EXPECT_EQ(state.closed, 1);
}

TEST_F(HidrawControllerTest, EnumerationStopsWhenANestedRescanChangesTheList) {
    state.nodes = {node("/dev/hidraw0"), node("/dev/hidraw1")};
    controller.deviceChange();
    std::vector<QString> seen;
    controller.enumerate([&](HidDevice& device, int) {
        seen.push_back(device.path());
        state.nodes = {node("/dev/hidraw5")};
        controller.deviceChange();
        return true;
    });
    EXPECT_EQ(seen, std::vector<QString>{"/dev/hidraw0"});
    EXPECT_EQ(controller.liveDeviceCount(), 1u);
}

TEST_F(HidrawControllerTest, ScheduledRescansRunFromTheEventLoopAndFoldTogether) {
    controller.scheduleDeviceChange();
    controller.scheduleDeviceChange();
    controller.scheduleDeviceChange();
    EXPECT_EQ(state.scans, 0); // not inside the caller
    QCoreApplication::sendPostedEvents(&controller);
    EXPECT_EQ(state.scans, 1);
    EXPECT_EQ(events, std::vector<std::string>{"changed"});

    controller.scheduleDeviceChange(); // a later burst gets its own rescan
    QCoreApplication::sendPostedEvents(&controller);
    EXPECT_EQ(state.scans, 2);
}

// Feature requests on a checked-out device.
class HidrawFeatureTest : public HidrawControllerTest {
protected:
    void SetUp() override {
        state.nodes = {node("/dev/hidraw0")};
        controller.deviceChange();
        device = controller.checkOutByIndex(0);
        ASSERT_NE(device, nullptr);
    }

    HidDevice* device = nullptr;
};

TEST_F(HidrawFeatureTest, GetFeatureFillsAtMostTheSizeAskedAndAcceptsShorterReports) {
    struct Case {
        const char* name;
        std::size_t replyLength;
        std::size_t asked;
    };
    const Case cases[] = {{"full report", 65, 65},
                          {"device report shorter than asked", 10, 65},
                          {"device report longer than asked", 100, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.reply.assign(c.replyLength, 0xA5);
        state.reply[0] = 0x59;
        std::vector<uint8_t> buffer(128, 0xEE);
        buffer[0] = 0x59;
        ASSERT_TRUE(device->getFeature(buffer.data(), c.asked));
        EXPECT_EQ(device->lastError(), 0);
        EXPECT_EQ(state.lastGetSize, c.asked);
        const std::size_t filled = std::min(c.asked, c.replyLength);
        for (std::size_t i = 1; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], i < filled ? 0xA5 : 0xEE) << "byte " << i;
        }
    }
}

TEST_F(HidrawFeatureTest, FailuresCarryTheirErrnoAndASuccessClearsIt) {
    uint8_t buffer[65] = {0x59, 0xA5, 0x5A, 0x1A};
    state.getError = EPIPE;
    EXPECT_FALSE(device->getFeature(buffer, sizeof buffer));
    EXPECT_EQ(device->lastError(), EPIPE);
    state.getError = 0;
    state.reply = {0x59};
    EXPECT_TRUE(device->getFeature(buffer, sizeof buffer));
    EXPECT_EQ(device->lastError(), 0);

    struct Case {
        const char* name;
        int sendError;
        std::size_t shortBy;
        bool ok;
        int error;
    };
    const Case cases[] = {{"whole report written", 0, 0, true, 0},
                          {"short write", 0, 1, false, EIO},
                          {"nothing written", 0, 65, false, EIO},
                          {"request refused", ETIMEDOUT, 0, false, ETIMEDOUT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.sendError = c.sendError;
        state.sendShortBy = c.shortBy;
        state.sent.clear();
        EXPECT_EQ(device->setFeature(buffer, sizeof buffer), c.ok);
        EXPECT_EQ(device->lastError(), c.error);
        if (c.ok) {
            EXPECT_EQ(state.sent, std::vector<uint8_t>(buffer, buffer + sizeof buffer));
        }
    }

    EXPECT_FALSE(device->getFeature(buffer, 0));
    EXPECT_EQ(device->lastError(), EINVAL);
    EXPECT_FALSE(device->setFeature(nullptr, 65));
    EXPECT_EQ(device->lastError(), EINVAL);
}

TEST_F(HidrawFeatureTest, ADeviceNotCheckedOutRefusesRequests) {
    controller.checkIn(device);
    uint8_t buffer[65] = {0x59};
    EXPECT_FALSE(device->getFeature(buffer, sizeof buffer));
    EXPECT_EQ(device->lastError(), ENODEV);
    EXPECT_FALSE(device->setFeature(buffer, sizeof buffer));
    EXPECT_EQ(device->lastError(), ENODEV);
}

// With the real opener behind a scripted list, the guard of the test process refuses to open
// anything, whatever the path.
TEST(HidrawGuard, RealOpensAreRefusedInTheTestProcess) {
    ASSERT_TRUE(qEnvironmentVariableIsSet(kNoRealHidVariable));
    class ListedNodes final : public HidrawSystem {
    public:
        std::vector<HidrawNode> scan() override { return {node("/dev/hidraw0")}; }
        OpenResult open(const QString& path) override { return openWithHidapi(path); }
    };
    LinuxHidController controller(std::make_unique<ListedNodes>());
    std::vector<QString> problems;
    QObject::connect(&controller, &platform::HidController::problem,
                     [&problems](const QString& message) { problems.push_back(message); });
    controller.deviceChange();

    EXPECT_EQ(controller.checkOutByIndex(0), nullptr);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].contains("/dev/hidraw0"));
    EXPECT_TRUE(problems[0].contains("real HID devices are disabled in this process"));
}

} // namespace
