// The configuration file and the command line: where the file is, how values are read, the
// "DataPathes" rule, DEBUG, and the fatal error of a missing file.
#include "CoreFixture.h"

#include "core/Configuration.h"

namespace coretest {
namespace {

struct VidCase {
    const char* name;
    const char* value; // null: key missing
    uint16_t expected;
};

class ConfigVidTest : public CoreTest, public ::testing::WithParamInterface<VidCase> {};

TEST_P(ConfigVidTest, ReadsTheIdentifier) {
    const VidCase& c = GetParam();
    QByteArray ini = "[Dest]\nPID=1\n";
    if (c.value)
        ini += QByteArray("VID=") + c.value + "\n";
    WriteConfig(ini);
    Start();
    EXPECT_EQ(core->DestVid, c.expected);
    EXPECT_TRUE(core->ErrMsg.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, ConfigVidTest,
    ::testing::Values(VidCase{"decimal", "9025", 0x2341}, VidCase{"dollar", "$2341", 0x2341},
                      VidCase{"zero_x", "0x2341", 0x2341}, VidCase{"low16", "70000", 4464},
                      VidCase{"negative", "-1", 0xFFFF}, VidCase{"junk", "12ab", 0},
                      VidCase{"empty", "", 0}, VidCase{"missing", nullptr, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CoreTest, ReadsEveryKeyWithItsDefault) {
    WriteConfig("[Dest]\nVID=1\nPID=2\nFmwVer=01.03\nBootButton=$10001\n"
                "[Source]\nVID=3\nPID=4\nFmwVer= 02.00 \nBootButton=0\n");
    Start();
    EXPECT_EQ(core->DestVid, 1);
    EXPECT_EQ(core->DestPid, 2);
    EXPECT_EQ(core->SrcVid, 3);
    EXPECT_EQ(core->SrcPid, 4);
    EXPECT_EQ(core->DestFmwVer, "01.03");
    EXPECT_EQ(core->SrcFmwVer, "02.00");
    EXPECT_EQ(core->DestBootButton, 1); // low 16 bits of 0x10001
    EXPECT_EQ(core->SrcBootButton, 0);
    EXPECT_EQ(core->HID_Read_Interval, 500); // "HID_Read" missing: the defaults
    EXPECT_EQ(core->HID_Read_Count, 5);
    // "BootButton" 0 in "Source" hides only the indicator's bootloader button.
    EXPECT_TRUE(view.Called("hide:RavadOroraGoBoot"));
    EXPECT_FALSE(view.Called("hide:TrackerGoBoot"));
}

struct ArgsCase {
    const char* name;
    QStringList args;
    bool configFound; // the default file exists in every case
    int debugLevel;
};

class ConfigArgsTest : public CoreTest, public ::testing::WithParamInterface<ArgsCase> {};

TEST_P(ConfigArgsTest, ChoosesTheFileAndDebug) {
    const ArgsCase& c = GetParam();
    WriteConfig();
    Start(c.args);
    EXPECT_EQ(core->ErrMsg.isEmpty(), c.configFound) << core->ErrMsg.toStdString();
    EXPECT_EQ(core->DebugLevel, c.debugLevel);
    if (c.configFound) {
        EXPECT_EQ(core->DestPid, 0xA7B1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ConfigArgsTest,
    ::testing::Values(ArgsCase{"none", {}, true, 0},
                      ArgsCase{"tray", {"-TRAY"}, true, 0}, // the autostart entry's " -TRAY"

                      ArgsCase{"debug_only", {"DEBUG"}, false, 1}, // "DEBUG" is the file name
                      ArgsCase{"debug_lower_second", {"-TRAY", "debug"}, true, 1},
                      ArgsCase{"debug_mixed", {"-x", "y", "DeBuG"}, true, 1},
                      ArgsCase{"missing_path", {"/nonexistent/q.ini"}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CoreTest, ConfigurationGivenAsFirstArgument) {
    WriteFile("other.ini", "[Dest]\nVID=0x1209\nPID=0x4242\n");
    Start({dir.filePath("other.ini"), "DEBUG"});
    EXPECT_TRUE(core->ErrMsg.isEmpty());
    EXPECT_EQ(core->DestPid, 0x4242);
    EXPECT_EQ(core->DebugLevel, 1);
    EXPECT_EQ(core->ConfigPath(), dir.filePath("other.ini"));
}

TEST_F(CoreTest, MissingConfigurationEndsThroughTheExitTimer) {
    Start();
    EXPECT_EQ(core->ErrMsg, core::kNoConfigMessage);
    // The 500 ms exit timer may already tick inside the first scan's waits.
    EXPECT_EQ(core->DestVid, 0);
    EXPECT_EQ(core->HID_Read_Interval, 0);
    EXPECT_EQ(core->HID_Read_Count, 0);
    // Without a configuration no device carries the identifiers 0:0.
    EXPECT_EQ(core->TrackerStatusLine(), core::kDisconnected);
    ASSERT_TRUE(WaitFor([&] { return view.trayExits > 0; }));
    EXPECT_EQ(view.messages, std::vector<QString>{core::kNoConfigMessage});
    EXPECT_EQ(view.trayExits, 1);
    EXPECT_FALSE(core->tmExit.isActive());
}

class FailingInput : public TdxInputManager {
public:
    int Initialize() override { return -1; }
};

TEST_F(CoreTest, InputManagerFailureEndsWithDirectXError) {
    WriteConfig();
    inputFactory = [] { return std::make_unique<FailingInput>(); };
    Start();
    EXPECT_EQ(core->ErrMsg, core::kDirectXErrorMessage);
    EXPECT_EQ(core->DestPid, 0xA7B1); // the start-up goes on regardless
    ASSERT_TRUE(WaitFor([&] { return view.trayExits > 0; }));
    EXPECT_EQ(view.messages, std::vector<QString>{core::kDirectXErrorMessage});
}

struct PathsCase {
    const char* name;
    bool exeIniExists; // quivra-cc.ini (any letter case) beside the executable
    const char* exeIniName;
    bool fromFile;
};

class DataPathesTest : public CoreTest, public ::testing::WithParamInterface<PathsCase> {};

TEST_P(DataPathesTest, ReadOnlyWhenTheExecutableIniExists) {
    const PathsCase& c = GetParam();
    if (c.exeIniExists)
        WriteFile(c.exeIniName, "[Dest]\n");
    WriteFile("given.ini", "[DataPathes]\nImages=/srv/pics\nProfiles=rel/prof/\n");
    Start({dir.filePath("given.ini")});
    const QString folder = dir.path() + "/";
    if (c.fromFile) {
        EXPECT_EQ(core->PathToImages, "/srv/pics"); // used exactly as written
        EXPECT_EQ(core->PathToProfiles, "rel/prof/");
    } else {
        EXPECT_EQ(core->PathToImages, folder + "Images/");
        EXPECT_EQ(core->PathToProfiles, folder + "Profiles/");
    }
}

INSTANTIATE_TEST_SUITE_P(Rule, DataPathesTest,
                         ::testing::Values(PathsCase{"absent", false, "", false},
                                           PathsCase{"lower", true, "quivra-cc.ini", true},
                                           PathsCase{"designed", true, "quivra-cc.Ini", true},
                                           PathsCase{"other_name", true, "quivra.ini", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigurationFunctions, PathHelpers) {
    EXPECT_EQ(core::ChangeFileExt("/a/b/quivra-cc", ".ini"), "/a/b/quivra-cc.ini");
    EXPECT_EQ(core::ChangeFileExt("/a/b.d/q.exe", ".ini"), "/a/b.d/q.ini");
    EXPECT_EQ(core::ChangeFileExt("/a/b.d/q", ".ini"), "/a/b.d/q.ini");
    EXPECT_EQ(core::ExecutableFolder("/a/b/q"), "/a/b/");
    EXPECT_EQ(core::ConfigFilePath("/a/q", {}), "/a/q.ini");
    EXPECT_EQ(core::ConfigFilePath("/a/q", {"-TRAY"}), "/a/q.ini");
    EXPECT_EQ(core::ConfigFilePath("/a/q", {"x.ini", "DEBUG"}), "x.ini");
}

} // namespace
} // namespace coretest
