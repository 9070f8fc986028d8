// The command set against the simulated devices: report bytes, presence rules, LED patterns,
// the set-centre checks and texts, and the parameter read with its retries.
#include "CoreFixture.h"

namespace coretest {
namespace {

class CommandTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        WriteConfig();
    }
    void StartClean() {
        Start();
        sim->clearWire();
        logged.clear();
        view.messages.clear();
    }
    // LED reports to the indicator as "mask ir blue red".
    std::vector<QByteArray> Leds() const {
        std::vector<QByteArray> out;
        for (const QByteArray& b : Written("indicator"))
            if (static_cast<uint8_t>(b.at(3)) == 0x0B)
                out.push_back(b.mid(4, 4).toHex(' '));
        return out;
    }
    void Unplug(bool tracker) {
        tracker ? sim->plugTracker(false) : sim->plugIndicator(false);
        ASSERT_TRUE(WaitFor([&] {
            return (tracker ? core->TrackerStatusLine() : core->IndicatorStatusLine()) ==
                   core::kDisconnected;
        }));
        sim->clearWire();
    }
};

struct CommandCase {
    const char* name;
    void (TDmTrackCpl::*run)();
    const char* target;     // device the command goes to
    bool needsPartner;      // the other device must be attached too
    QByteArray firstReport; // bytes 0..3 of the first report to the target
};

class PresenceTest : public CommandTest,
                     public ::testing::WithParamInterface<std::tuple<CommandCase, bool>> {};

TEST_P(PresenceTest, SendsOnlyWithTheRequiredDevices) {
    const auto& [c, partnerPlugged] = GetParam();
    const bool toTracker = QByteArray(c.target) == "tracker";
    StartClean();
    if (!partnerPlugged)
        Unplug(!toTracker);
    (core.get()->*c.run)();
    const std::vector<QByteArray> sent = Written(c.target);
    const bool expectSent = partnerPlugged || !c.needsPartner;
    ASSERT_EQ(!sent.empty(), expectSent);
    if (expectSent) {
        EXPECT_EQ(sent.front().left(4).toHex(' '), c.firstReport);
        EXPECT_EQ(sent.front().size(), 65);
    }
}

const CommandCase kCommands[] = {
    {"TrackRestart", &TDmTrackCpl::TrackRestart, "tracker", true, "59 a5 5a 00"},
    {"TrackerClearParams", &TDmTrackCpl::TrackerClearParams, "tracker", true, "59 a5 5a 01"},
    {"TrackClbrStart", &TDmTrackCpl::TrackClbrStart, "tracker", true, "59 a5 5a 02"},
    {"TrackClbrSave", &TDmTrackCpl::TrackClbrSave, "tracker", true, "59 a5 5a 03"},
    {"TrackClbrReset", &TDmTrackCpl::TrackClbrReset, "tracker", true, "59 a5 5a 04"},
    {"TrackerGetEEPROM", &TDmTrackCpl::TrackerGetEEPROM, "tracker", true, "59 a5 c5 7c"},
    {"TrackerGetRAM", &TDmTrackCpl::TrackerGetRAM, "tracker", true, "59 a5 c6 7c"},
    {"TrackerSetEEPROM", &TDmTrackCpl::TrackerSetEEPROM, "tracker", true, "59 a5 87 7c"},
    {"TrackerGotoBoot", &TDmTrackCpl::TrackerGotoBoot, "tracker", true, "59 a5 5a 3b"},
    {"RavadOroraRestart", &TDmTrackCpl::RavadOroraRestart, "indicator", true, "59 a5 5a 00"},
    {"RavadOroraGotoBoot", &TDmTrackCpl::RavadOroraGotoBoot, "indicator", true, "59 a5 5a 3b"},
    {"TrackerOn", &TDmTrackCpl::TrackerOn, "tracker", false, "59 a5 5a 1d"},
    {"TrackerOffReturnCenter", &TDmTrackCpl::TrackerOffReturnCenter, "tracker", false,
     "59 a5 5a 18"},
    {"TrackerOffCurrentValue", &TDmTrackCpl::TrackerOffCurrentValue, "tracker", false,
     "59 a5 5a 19"},
    {"TrackerSetCenter", &TDmTrackCpl::TrackerSetCenter, "tracker", false, "59 a5 5a 1a"},
    {"TrackerResetCenter", &TDmTrackCpl::TrackerResetCenter, "tracker", false, "59 a5 5a 1e"},
};

INSTANTIATE_TEST_SUITE_P(Commands, PresenceTest,
                         ::testing::Combine(::testing::ValuesIn(kCommands), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_partner" : "_alone");
                         });

TEST_F(CommandTest, GotoBootSendsBothStepsAndTheDeviceLeaves) {
    StartClean();
    core->TrackerGotoBoot();
    EXPECT_EQ(Codes("tracker"), (std::vector<int>{0x3B, 0x55}));
    EXPECT_EQ(sim->tracker().bootEntries, 1);
    EXPECT_TRUE(sim->bootDevicePlugged());
}

struct LedCase {
    const char* name;
    std::function<void(TDmTrackCpl&)> run;
    QByteArray bytes; // mask, infrared, blue, red
};

class LedTest : public CommandTest, public ::testing::WithParamInterface<LedCase> {};

TEST_P(LedTest, SendsMaskAndBrightness) {
    StartClean();
    core->BrightLedBlue = 300; // the low byte goes out: 44
    core->BrightLedRed = 200;
    core->BrightLedIR = 125;
    GetParam().run(*core);
    EXPECT_EQ(Leds(), std::vector<QByteArray>{GetParam().bytes});
}

INSTANTIATE_TEST_SUITE_P(
    Leds, LedTest,
    ::testing::Values(LedCase{"ir_on", [](TDmTrackCpl& c) { c.SetLedIr(true); }, "11 7d 00 00"},
                      LedCase{"ir_off", [](TDmTrackCpl& c) { c.SetLedIr(false); }, "01 00 00 00"},
                      LedCase{"blue_on", [](TDmTrackCpl& c) { c.SetLedBlue(true); }, "33 7d 2c 00"},
                      LedCase{"blue_off", [](TDmTrackCpl& c) { c.SetLedBlue(false); },
                              "03 00 00 00"},
                      LedCase{"red_on", [](TDmTrackCpl& c) { c.SetLedRed(true); }, "55 7d 00 c8"},
                      LedCase{"red_off", [](TDmTrackCpl& c) { c.SetLedRed(false); }, "05 00 00 00"},
                      LedCase{"off", [](TDmTrackCpl& c) { c.SetLedOff(); }, "77 00 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, OnAndOffFollowTheExchange) {
    StartClean();
    view.calls.clear();
    core->TrackerOn();
    EXPECT_TRUE(core->TrackerOnState());
    EXPECT_TRUE(sim->tracker().on);
    EXPECT_TRUE(core->TrackerLampVisible());
    EXPECT_TRUE(view.Called("lamp:on"));
    EXPECT_TRUE(view.Called("buttons:on"));
    // Before: infrared only (state false at the start); after: infrared, then blue.
    EXPECT_EQ(Leds(), (std::vector<QByteArray>{"11 7d 00 00", "11 7d 00 00", "05 00 00 00",
                                               "33 7d ff 00"}));
    sim->clearWire();
    view.calls.clear();
    core->TrackerOffCurrentValue();
    EXPECT_FALSE(core->TrackerOnState());
    EXPECT_FALSE(sim->tracker().on);
    EXPECT_TRUE(sim->tracker().offKeepsValue);
    EXPECT_TRUE(view.Called("axis:off")); // the lamp went out
    EXPECT_EQ(Leds(), (std::vector<QByteArray>{"11 7d 00 00", "77 00 00 00"}));
}

TEST_F(CommandTest, OnWithSilentTrackerShowsInfraredOnly) {
    StartClean();
    sim->faults().target = sim::FaultTarget::Tracker;
    sim->faults().getFails = -1;
    core->TrackerOn();
    EXPECT_FALSE(core->TrackerOnState());
    EXPECT_FALSE(core->TrackerLampVisible());
    EXPECT_TRUE(sim->indicator().irOn);
    EXPECT_FALSE(sim->indicator().blueOn);
    EXPECT_FALSE(sim->indicator().redOn);
}

TEST_F(CommandTest, OffWithOnlyTheIndicatorDarkensIt) {
    StartClean();
    Unplug(true);
    core->TrackerOffCurrentValue();
    EXPECT_TRUE(Written("tracker").empty());
    EXPECT_EQ(Leds(), std::vector<QByteArray>{"77 00 00 00"});
}

TEST_F(CommandTest, ReadyPatternWithoutTracker) {
    StartClean();
    Unplug(true);
    core->ReadyBlick(false);
    EXPECT_EQ(Leds(), (std::vector<QByteArray>{"11 7d 00 00", "03 00 00 00", "55 7d 00 ff"}));
}

struct CenterCase {
    const char* name;
    std::function<void(sim::Faults&)> faults;
    QString logged; // empty: no error
    int attempts;
};

class SetCenterTest : public CommandTest, public ::testing::WithParamInterface<CenterCase> {};

TEST_P(SetCenterTest, ReportsItsFailureText) {
    const CenterCase& c = GetParam();
    StartClean();
    sim->faults().target = sim::FaultTarget::Tracker;
    c.faults(sim->faults());
    core->TrackerSetCenter();
    const std::vector<int> codes = Codes("tracker");
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x1A), c.attempts);
    if (c.logged.isEmpty()) {
        EXPECT_TRUE(logged.empty());
        EXPECT_TRUE(Leds().empty());
        EXPECT_TRUE(core->LastCommandOk());
    } else {
        EXPECT_EQ(logged, std::vector<QString>{c.logged});
        // Red blink, the ready pattern of ErrorBlick, and the command's own.
        EXPECT_EQ(Leds(), (std::vector<QByteArray>{"55 7d 00 ff", "11 7d 00 00", "11 7d 00 00"}));
        EXPECT_FALSE(core->LastCommandOk());
    }
}

QString Repeat(const QString& s, int n) {
    QString out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SetCenterTest,
    ::testing::Values(
        CenterCase{"good", [](sim::Faults&) {}, {}, 1},
        CenterCase{"first_read_fails", [](sim::Faults& f) { f.getFails = 1; }, "Error in FReport",
                   2},
        CenterCase{"writes_fail", [](sim::Faults& f) { f.setFails = -1; }, "Error in FReport", 11},
        CenterCase{"bad_echo", [](sim::Faults& f) { f.centerBadEcho = -1; }, Repeat(" BAD CRC", 11),
                   11},
        CenterCase{"bad_status_and_echo",
                   [](sim::Faults& f) {
                       f.centerBadStatus = -1;
                       f.centerBadEcho = -1;
                   },
                   "Error in center BAD CRC", 11},
        CenterCase{"bad_status_good_echo", [](sim::Faults& f) { f.centerBadStatus = -1; },
                   "Error in center", 1},
        CenterCase{"one_bad_echo", [](sim::Faults& f) { f.centerBadEcho = 1; }, " BAD CRC", 2}),
    [](const auto& info) { return std::string(info.param.name); });

class ReadTest : public CommandTest {
protected:
    void StartWith(const QByteArray& readSection) {
        WriteConfig(QByteArray(kConfig).replace("[HID_Read]\nInterval=1\nCount=3\n", readSection));
        StartClean();
        core->Track_Need_Read = true;
    }
    int LongReads() const {
        const std::vector<int> codes = Codes("tracker");
        return static_cast<int>(std::count(codes.begin(), codes.end(), 0xC5));
    }
};

TEST_F(ReadTest, CountZeroMakesNoAttempt) {
    StartWith("[HID_Read]\nInterval=1\nCount=0\n");
    core->TrackerGetEEPROM();
    EXPECT_EQ(LongReads(), 0);
    EXPECT_EQ(view.messages, std::vector<QString>{QStringLiteral("Ошибка чтения параметров []")});
    EXPECT_FALSE(core->Track_Need_Read);
}

TEST_F(ReadTest, RetriesUntilAChunkArrivesIntact) {
    StartWith("[HID_Read]\nInterval=1\nCount=3\n");
    sim->faults().wrongCrc = 2;
    core->TrackerGetEEPROM();
    EXPECT_EQ(LongReads(), 3);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(core->LastEEPROMReadOk());
    EXPECT_FALSE(core->Track_Need_Read);
    EXPECT_TRUE(
        std::equal(sim->tracker().eeprom.begin(), sim->tracker().eeprom.end(), core->Raw.begin()));
}

TEST_F(ReadTest, FinalFailureShowsTheSystemText) {
    StartWith("[HID_Read]\nInterval=1\nCount=2\n");
    sim->faults().wrongCrc = -1; // the gets succeed: the system's text is that of success
    core->TrackerGetEEPROM();
    EXPECT_EQ(LongReads(), 2);
    EXPECT_EQ(view.messages,
              std::vector<QString>{QStringLiteral("Ошибка чтения параметров [Success]")});
    EXPECT_FALSE(core->Track_Need_Read);

    view.messages.clear();
    sim->faults().wrongCrc = 0;
    sim->faults().target = sim::FaultTarget::Tracker;
    sim->faults().getFails = -1;
    core->TrackerGetEEPROM();
    ASSERT_EQ(view.messages.size(), 1u);
    const QString text = view.messages.front();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ошибка чтения параметров [")));
    EXPECT_TRUE(text.endsWith(QLatin1Char(']')));
    EXPECT_NE(text, QStringLiteral("Ошибка чтения параметров [Success]"));
}

TEST_F(ReadTest, RamReadTriesOnceAndKeepsTheFlag) {
    StartWith("[HID_Read]\nInterval=1\nCount=5\n");
    sim->faults().wrongCrc = -1;
    core->TrackerGetRAM();
    const std::vector<int> codes = Codes("tracker");
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xC6), 1);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(core->Track_Need_Read);
}

TEST_F(ReadTest, WriteStoresTheBlock) {
    StartWith("[HID_Read]\nInterval=1\nCount=3\n");
    core->TrackerGetEEPROM();
    ASSERT_TRUE(core->LastEEPROMReadOk());
    core->Raw[10] = 0x42;
    core->Raw[200] = 0x99; // beyond the block: never sent
    core->TrackerSetEEPROM();
    EXPECT_TRUE(core->LastEEPROMWriteOk());
    EXPECT_EQ(sim->tracker().eeprom[10], 0x42);
    EXPECT_TRUE(
        std::equal(sim->tracker().eeprom.begin(), sim->tracker().eeprom.end(), core->Raw.begin()));
}

} // namespace
} // namespace coretest
