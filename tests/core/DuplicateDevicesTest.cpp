// Two attached devices with the tracker's identifiers: the last one enumerated takes the role,
// the earlier one is checked in and its channel freed; unplugging the one without the role
// leaves the working one alone.
#include "CoreFixture.h"

namespace coretest {
namespace {

class FakeDevice : public platform::HidDevice {
public:
    FakeDevice(QString path, uint16_t pid) : path_(std::move(path)), pid_(pid) {}
    QString path() const override { return path_; }
    QString productName() const override { return QStringLiteral("Twin"); }
    platform::HidAttributes attributes() const override { return {0x1209, pid_, 0x0102}; }
    int featureReportLength() const override { return 65; }
    bool getFeature(uint8_t*, std::size_t) override { return true; }
    bool setFeature(const uint8_t*, std::size_t) override {
        ++writes;
        return true;
    }
    int lastError() const override { return 0; }
    bool checkedOut = false;
    int writes = 0;

private:
    QString path_;
    uint16_t pid_;
};

class FakeController : public platform::HidController {
public:
    std::vector<std::unique_ptr<FakeDevice>> devices;
    std::vector<std::string> events;

    void enumerate(const EnumerateFn& fn) override {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (!fn(*devices[i], static_cast<int>(i)))
                break;
    }
    platform::HidDevice* checkOutByIndex(int index) override {
        FakeDevice& d = *devices.at(static_cast<std::size_t>(index));
        if (d.checkedOut)
            return nullptr;
        d.checkedOut = true;
        events.push_back("out:" + d.path().toStdString());
        return &d;
    }
    void checkIn(platform::HidDevice* device) override {
        auto* d = static_cast<FakeDevice*>(device);
        d->checkedOut = false;
        events.push_back("in:" + d->path().toStdString());
    }
    void deviceChange() override { emit deviceChanged(); }
    QString backendName() const override { return QStringLiteral("fake"); }
};

TEST_F(CoreTest, LastEnumeratedTwinTakesTheRole) {
    WriteConfig();
    auto controller = std::make_unique<FakeController>();
    controller->devices.push_back(std::make_unique<FakeDevice>("A", 0xA7B1));
    controller->devices.push_back(std::make_unique<FakeDevice>("B", 0xA7B1));
    FakeController* fake = controller.get();
    auto holder = std::make_shared<std::unique_ptr<FakeController>>(std::move(controller));
    TCoreOptions o;
    o.ExecutablePath = ExePath();
    o.View = &view;
    o.HidFactory = [holder]() -> std::unique_ptr<platform::HidController> {
        return std::move(*holder);
    };
    TDmTrackCpl c(std::move(o));
    c.DataModuleCreate();

    FakeDevice& a = *fake->devices[0];
    FakeDevice& b = *fake->devices[1];
    EXPECT_EQ(c.DestHid, &b);
    ASSERT_TRUE(c.TrackYnqHid);
    EXPECT_EQ(c.TrackYnqHid->CurrDev(), &b);
    EXPECT_EQ(fake->events, (std::vector<std::string>{"out:A", "out:B", "in:A"}));
    EXPECT_FALSE(a.checkedOut);
    EXPECT_EQ(a.writes, 0); // the first-run switch-off went to the role holder
    EXPECT_GT(b.writes, 0);

    emit fake->deviceUnplugged(&a); // not the role holder: nothing changes
    EXPECT_EQ(c.DestHid, &b);
    emit fake->deviceUnplugged(&b);
    EXPECT_EQ(c.DestHid, nullptr);
    EXPECT_FALSE(c.TrackYnqHid);
    EXPECT_EQ(fake->events.back(), "in:B");
}

} // namespace
} // namespace coretest
