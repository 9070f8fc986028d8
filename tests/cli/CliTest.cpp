// quivractl against the simulated devices, run as a process with its own configuration.
#include "sim/SimHid.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile f(Config());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Dest]\nVID=0x1209\nPID=0xA7B1\nFmwVer=01.02\nBootButton=1\n"
                "[Source]\nVID=0x1209\nPID=0xA7B2\nFmwVer=01.02\nBootButton=1\n"
                "[HID_Read]\nInterval=1\nCount=3\n");
    }
    QString Config() const { return dir.filePath("test.ini"); }
    QString State() const { return dir.filePath("sim.state"); }

    // Runs quivractl with the simulator, this configuration and the kept state.
    Result Run(QStringList args, bool withState = true) {
        QStringList all{"--simulate", "--config", Config()};
        if (withState)
            all << "--sim-state" << State();
        all << args;
        return RunRaw(all);
    }
    static Result RunRaw(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(QCC_QUIVRACTL), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // Bytes 0..123 as printed by params --raw --json.
    std::vector<int> RawBytes() {
        const Result r = Run({"params", "--raw", "--json"});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        std::vector<int> bytes;
        for (const QJsonValue& v :
             QJsonDocument::fromJson(r.out.toUtf8()).object()["raw"].toArray())
            bytes.push_back(v.toInt());
        return bytes;
    }

    QTemporaryDir dir;
};

TEST_F(CliTest, SetThenParamsShowsTheChangeAndKeepsTheRest) {
    const std::array<uint8_t, 124> factory = sim::TrackerModel::factoryDefaults();
    const Result set = Run({"set", "YNQ_CMN_rotate=50", "YNQ_LA1_prcs=3"});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.contains("YNQ_CMN_rotate=50\n"));
    EXPECT_TRUE(set.out.contains("YNQ_LA1_prcs=8\n")); // clamped as the page does

    const Result raw = Run({"params", "--raw"});
    ASSERT_EQ(raw.status, 0) << raw.err.toStdString();
    EXPECT_TRUE(raw.out.startsWith("0000  ")) << raw.out.toStdString();
    const std::vector<int> bytes = RawBytes();
    ASSERT_EQ(bytes.size(), 124u);
    EXPECT_EQ(bytes[5], 0xE3);
    EXPECT_EQ(bytes[6], 0x1B);
    EXPECT_EQ(bytes[26] & 0x0F, 8);
    EXPECT_EQ(bytes[26] & 0xF0, factory[26] & 0xF0);
    // The page owns these bytes (or bits) and rewrites them; everything else is as it was.
    const std::vector<int> owned{3,  4,  5,  6,  7,  8,  9,  26,  27, 28,
                                 34, 35, 36, 89, 92, 93, 97, 100, 101};
    for (int i = 0; i < 124; ++i) {
        if (std::find(owned.begin(), owned.end(), i) == owned.end()) {
            SCOPED_TRACE(i);
            EXPECT_EQ(bytes[static_cast<std::size_t>(i)], factory[static_cast<std::size_t>(i)]);
        }
    }
}

TEST_F(CliTest, StatusShowsBothDevices) {
    const Result r = Run({"status"}, false);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Трекер: Quivra Tracker [Ver: 01.02]"));
    EXPECT_TRUE(r.out.contains("Индикатор: Quivra RavadOrora [Ver: 01.02]"));
    const Result j = Run({"--json", "status"}, false);
    const QJsonObject o = QJsonDocument::fromJson(j.out.toUtf8()).object();
    EXPECT_EQ(o["tracker"].toString(), "Quivra Tracker [Ver: 01.02]");
    EXPECT_FALSE(o["trackerOn"].toBool());
}

TEST_F(CliTest, ListMarksTheRoles) {
    const Result r = Run({"list", "--json"}, false);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject()["role"].toString(), "tracker");
    EXPECT_EQ(list[0].toObject()["vendorId"].toString(), "0x1209");
    EXPECT_EQ(list[0].toObject()["productId"].toString(), "0xA7B1");
    EXPECT_EQ(list[0].toObject()["featureReportLength"].toInt(), 65);
    EXPECT_EQ(list[1].toObject()["role"].toString(), "indicator");
    const Result shorter = Run({"--sim-report-length", "32", "list", "--json"}, false);
    EXPECT_EQ(QJsonDocument::fromJson(shorter.out.toUtf8())
                  .array()[0]
                  .toObject()["featureReportLength"]
                  .toInt(),
              32);

    const Result text = Run({"list"}, false);
    ASSERT_EQ(text.status, 0);
    const QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("1209:A7B1  Ver:01.02  feature 65  \"Quivra Tracker\"  [tracker]"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("\"Quivra RavadOrora\"  [indicator]")) << lines[1].toStdString();
}

TEST_F(CliTest, CommandsChangeTheSimulatedTracker) {
    ASSERT_EQ(Run({"on"}).status, 0);
    ASSERT_EQ(Run({"center"}).status, 0);
    ASSERT_EQ(Run({"reset-center"}).status, 0);
    ASSERT_EQ(Run({"off", "--keep"}).status, 0);
    ASSERT_EQ(Run({"led", "red", "on"}).status, 0);
    // The kept state shows the command's effect (every start darkens the LEDs again).
    sim::SimHidController probe;
    QString error;
    ASSERT_TRUE(probe.loadState(State(), &error)) << error.toStdString();
    EXPECT_TRUE(probe.indicator().redOn);
    const Result h = Run({"histogram", "--count", "2"});
    ASSERT_EQ(h.status, 0);
    EXPECT_EQ(h.out, "12345\n12345\n");
    const Result j = Run({"--json", "histogram"});
    EXPECT_EQ(QJsonDocument::fromJson(j.out.toUtf8()).array().size(), 1);
}

TEST_F(CliTest, OnLeavesTheTrackerOn) {
    ASSERT_EQ(Run({"on"}).status, 0);
    sim::SimHidController probe;
    ASSERT_TRUE(probe.loadState(State()));
    EXPECT_TRUE(probe.tracker().on);
    ASSERT_EQ(Run({"off"}).status, 0);
    ASSERT_TRUE(probe.loadState(State()));
    EXPECT_FALSE(probe.tracker().on);
    EXPECT_FALSE(probe.tracker().offKeepsValue);
}

struct UsageCase {
    const char* name;
    QStringList args;
};

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ExitsTwoWithOneLine) {
    const Result r = Run(GetParam().args, false);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliUsageTest,
    ::testing::Values(UsageCase{"no_command", {}}, UsageCase{"unknown", {"dance"}},
                      UsageCase{"set_unknown_field", {"set", "YNQ_FOO=1"}},
                      UsageCase{"set_not_a_number", {"set", "YNQ_CMN_dbx=abc"}},
                      UsageCase{"set_nothing", {"set"}},
                      UsageCase{"led_bad", {"led", "green", "on"}},
                      UsageCase{"boot_unconfirmed", {"boot", "tracker"}},
                      UsageCase{"restart_what", {"restart"}},
                      UsageCase{"params_extra", {"params", "--hex"}},
                      UsageCase{"count_bad", {"histogram", "--count", "0"}},
                      UsageCase{"length_bad", {"--sim-report-length", "5", "status"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, MissingConfigurationFails) {
    const Result r = RunRaw({"--simulate", "--config", dir.filePath("absent.ini"), "status"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Конфигурационный файл не найден!"));
    EXPECT_EQ(r.err.count('\n'), 1);
}

TEST_F(CliTest, BadSimulatedStateIsReportedAndKept) {
    QFile f(State());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a state file");
    f.close();
    const Result r = Run({"status"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("quivractl: ")) << r.err.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a state file")); // nothing lost
}

TEST_F(CliTest, BootNeedsConfirmationThenSendsTheDeviceAway) {
    const Result r = Run({"boot", "indicator", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
}

} // namespace
