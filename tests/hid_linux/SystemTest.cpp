// The parts that meet the real system: sysfs value parsing, path order, open-failure texts,
// and the controller over this machine's hidraw nodes (listing only; opening is refused).
#include "platform/hid/linux/HidapiOpen.h"
#include "platform/hid/linux/HidrawSystem.h"
#include "platform/hid/linux/LinuxHid.h"
#include "platform/hid/linux/ReportDescriptor.h"
#include "platform/hid/linux/UdevScan.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace {

using namespace platform::hidraw;

TEST(SysfsValues, HidIdGivesVendorAndProduct) {
    struct Case {
        const char* text;
        std::optional<HidId> expected;
    };
    const Case cases[] = {
        {"0003:0000046D:0000C52B", HidId{0x046D, 0xC52B}}, // USB
        {"0005:0000054c:000009cc", HidId{0x054C, 0x09CC}}, // Bluetooth, lower case
        {"0003:1209:A7B1", HidId{0x1209, 0xA7B1}},
        {"0003:0001046D:0000C52B", std::nullopt}, // vendor beyond 16 bits
        {"0003:0000046D", std::nullopt},
        {"0003:0000046D:0000C52B:0001", std::nullopt},
        {"0003::0000C52B", std::nullopt},
        {"0003:0x046D:0000C52B", std::nullopt},
        {"0003:0000046D:0000C52G", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto id = parseHidId(QString::fromLatin1(c.text));
        ASSERT_EQ(id.has_value(), c.expected.has_value());
        if (id) {
            EXPECT_EQ(id->vendorId, c.expected->vendorId);
            EXPECT_EQ(id->productId, c.expected->productId);
        }
    }
}

TEST(SysfsValues, BcdDeviceGivesTheReleaseNumber) {
    struct Case {
        const char* text;
        std::optional<uint16_t> expected;
    };
    const Case cases[] = {{"0102", 0x0102},       {"1a2B", 0x1A2B},        {"0102\n", 0x0102},
                          {"7", 0x0007},          {"10000", std::nullopt}, {"12g4", std::nullopt},
                          {"-102", std::nullopt}, {"", std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseBcdDevice(QString::fromLatin1(c.text)), c.expected);
    }
}

TEST(PathOrder, NumbersInPathsCompareAsNumbers) {
    QStringList paths = {"/dev/hidraw10",  "/dev/hidraw1",  "/dev/hidraw2", "/dev/hidraw0",
                         "/dev/hidraw100", "/dev/hidraw11", "/dev/hidraw"};
    std::sort(paths.begin(), paths.end(), naturalPathLess);
    const QStringList expected = {"/dev/hidraw",   "/dev/hidraw0",  "/dev/hidraw1",  "/dev/hidraw2",
                                  "/dev/hidraw10", "/dev/hidraw11", "/dev/hidraw100"};
    EXPECT_EQ(paths, expected);

    // Equal as numbers but different text: still exactly one of the two orders holds.
    EXPECT_NE(naturalPathLess("/dev/hidraw02", "/dev/hidraw2"),
              naturalPathLess("/dev/hidraw2", "/dev/hidraw02"));
    EXPECT_FALSE(naturalPathLess("/dev/hidraw2", "/dev/hidraw2"));
}

TEST(OpenFailure, NamesThePathTheReasonAndForPermissionsTheRemedy) {
    EXPECT_EQ(openFailureMessage("/dev/hidraw3", EACCES),
              "Cannot open /dev/hidraw3 (Permission denied): give your user access with a udev "
              "rule (TAG+=\"uaccess\") for this device");
    EXPECT_EQ(openFailureMessage("/dev/hidraw3", ENOENT),
              "Cannot open /dev/hidraw3 (No such file or directory)");
}

// Whatever hidraw nodes this machine has (often none): the listing works, matches sysfs, and
// comes in path order with sane values.
TEST(RealSystem, ListsTheHidrawNodesOfThisMachine) {
    const auto controller = createLinuxHidController();
    EXPECT_EQ(controller->backendName(), QStringLiteral("hidraw"));
    int changes = 0;
    QObject::connect(controller.get(), &platform::HidController::deviceChanged,
                     [&changes] { ++changes; });
    controller->deviceChange();
    EXPECT_EQ(changes, 1);

    QStringList paths;
    controller->enumerate([&paths](platform::HidDevice& device, int index) {
        EXPECT_EQ(index, paths.size());
        EXPECT_GE(device.featureReportLength(), 0);
        EXPECT_LE(device.featureReportLength(), kMaxFeatureReportLength);
        paths.push_back(device.path());
        return true;
    });
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end(), naturalPathLess));
    const QStringList inSysfs = QDir(QStringLiteral("/sys/class/hidraw"))
                                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(paths.size(), inSysfs.size());
    for (const QString& path : paths) {
        EXPECT_TRUE(inSysfs.contains(path.section(u'/', -1))) << path.toStdString();
    }
}

TEST(RealSystem, RefusesToOpenRealDevicesInTheTestProcess) {
    const auto controller = createLinuxHidController();
    controller->deviceChange();
    int devices = 0;
    controller->enumerate([&devices](platform::HidDevice&, int) {
        ++devices;
        return true;
    });
    if (devices == 0) {
        GTEST_SKIP() << "this machine has no hidraw device";
    }
    QStringList problems;
    QObject::connect(controller.get(), &platform::HidController::problem,
                     [&problems](const QString& message) { problems.push_back(message); });
    for (int i = 0; i < devices; ++i) {
        EXPECT_EQ(controller->checkOutByIndex(i), nullptr);
    }
    ASSERT_EQ(problems.size(), devices);
    for (const QString& message : problems) {
        EXPECT_TRUE(message.contains("real HID devices are disabled in this process"));
    }
}

} // namespace
