#include "ScriptedHidDevice.h"

#include "devicelink/HID.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class ChannelTest : public testing::Test {
protected:
    ScriptedHidDevice device{65};
    TynqHidDevice channel;
    void SetUp() override { channel.SetHidDev(&device); }
};

TEST_F(ChannelTest, ShortCommandIsPaddedWithZerosToTheReportLength) {
    const uint8_t cmd[] = {0x59, 0xA5, 0x5A, 0x1D};
    ASSERT_TRUE(channel.SendFReport(cmd));
    ASSERT_EQ(device.written.size(), 1u);
    Bytes expected(65, 0);
    std::copy(std::begin(cmd), std::end(cmd), expected.begin());
    EXPECT_EQ(device.written[0], expected);
}

TEST_F(ChannelTest, LongCommandIsCutToTheReportLength) {
    std::array<uint8_t, 128> cmd{};
    for (std::size_t i = 0; i < cmd.size(); ++i)
        cmd[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(channel.SendFReport(cmd));
    EXPECT_EQ(device.written[0], Bytes(cmd.begin(), cmd.begin() + 65));
}

TEST_F(ChannelTest, ReadClearsTheWholeArrayAndAsksForTheId) {
    Bytes reply(65, 0);
    reply[0] = 0x59;
    reply[2] = 0x39;
    reply[3] = 0x30;
    device.replies.push_back(reply);
    std::array<uint8_t, 128> buf;
    buf.fill(0xCC);
    ASSERT_TRUE(channel.GetFReport(0x59, buf));
    EXPECT_EQ(buf[0], 0x59);
    EXPECT_EQ(buf[2] | buf[3] << 8, 12345);
    for (std::size_t i = 65; i < buf.size(); ++i)
        ASSERT_EQ(buf[i], 0) << "byte " << i << " was not cleared";
}

TEST_F(ChannelTest, FailedReadKeepsTheIdAndZeros) {
    std::array<uint8_t, 128> buf;
    buf.fill(0xCC);
    EXPECT_FALSE(channel.GetFReport(0x59, buf));
    EXPECT_EQ(buf[0], 0x59);
    EXPECT_EQ(std::count(buf.begin() + 1, buf.end(), 0), 127);
}

TEST_F(ChannelTest, DeviceReportLongerThanTheCallersArrayIsCutNotOverrun) {
    device.setReportLength(200);
    Bytes reply(200, 0x77);
    reply[0] = 0x59;
    device.replies.push_back(reply);
    std::array<uint8_t, 160> guarded;
    guarded.fill(0xCC);
    auto report = std::span<uint8_t>(guarded).first(128);
    ASSERT_TRUE(channel.GetFReport(0x59, report));
    EXPECT_EQ(report[127], 0x77);
    for (std::size_t i = 128; i < guarded.size(); ++i)
        ASSERT_EQ(guarded[i], 0xCC) << "written past the array at " << i;
}

TEST_F(ChannelTest, ZeroReportLengthFailsBothWays) {
    device.setReportLength(0);
    const uint8_t cmd[] = {0x59, 0xA5};
    EXPECT_FALSE(channel.SendFReport(cmd));
    std::array<uint8_t, 16> buf{};
    EXPECT_FALSE(channel.GetFReport(0x59, buf));
    EXPECT_TRUE(device.written.empty());
    EXPECT_EQ(device.gets, 0);
}

TEST(ChannelUnbound, FailsAndLeavesTheArrayAlone) {
    TynqHidDevice channel;
    channel.DebugMode = true;
    std::array<uint8_t, 8> buf;
    buf.fill(0xCC);
    EXPECT_FALSE(channel.GetFReport(0x59, buf));
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xCC), 8);
    EXPECT_FALSE(channel.SendFReport(buf));
    EXPECT_EQ(*channel.LogList,
              QStringList({"HidDevice not assigned", "HidDevice not assigned"}));
}

TEST(ChannelBinding, VersionText) {
    struct Case {
        uint16_t release;
        const char* text;
    };
    for (const Case c : {Case{0x1A2B, "Ver:1A.2B"}, Case{0x0102, "Ver:01.02"},
                         Case{0x0000, "Ver:00.00"}, Case{0xFFFF, "Ver:FF.FF"}}) {
        SCOPED_TRACE(c.text);
        ScriptedHidDevice device(65, c.release);
        TynqHidDevice channel;
        channel.SetHidDev(&device);
        EXPECT_EQ(channel.FirmwareVer, c.release);
        EXPECT_EQ(channel.FirmwareVerS, QString::fromLatin1(c.text));
        channel.SetHidDev(nullptr);
        EXPECT_EQ(channel.FirmwareVer, 0);
        EXPECT_EQ(channel.FirmwareVerS, QStringLiteral("Ver:--.--"));
    }
}

TEST(ChannelLog, OwnListOrTheCallersList) {
    TynqHidDevice own;
    EXPECT_TRUE(own.OwnLogList);
    ASSERT_NE(own.LogList, nullptr);
    QStringList mine;
    TynqHidDevice borrowed(&mine);
    EXPECT_FALSE(borrowed.OwnLogList);
    EXPECT_EQ(borrowed.LogList, &mine);
}

TEST(ChannelTrace, WriteAndReadLines) {
    ScriptedHidDevice device(10);
    QStringList log;
    TynqHidDevice channel(&log);
    channel.SetHidDev(&device);

    const uint8_t cmd[] = {0x59, 0xA5, 0x5A, 0x0B, 0x33};
    channel.SendFReport(cmd);
    EXPECT_EQ(log, QStringList()) << "the trace is off unless asked for";

    channel.DebugMode = true;
    ASSERT_TRUE(channel.SendFReport(cmd));
    device.failingWrites = {2};
    EXPECT_FALSE(channel.SendFReport(cmd));
    std::array<uint8_t, 16> buf{};
    EXPECT_FALSE(channel.GetFReport(0x59, buf));
    EXPECT_EQ(log, QStringList({
                       "Hex Write\tID[59]\tA5 5A 0B 33 00 00 00 00 00",
                       "Hex Write\tID[59]\tA5 5A 0B 33 00 00 00 00 00",
                       "Write - Error in SetFeature",
                       "Read - Error in GetFeature",
                       "Hex Read \tID[59]\t00 00 00 00 00 00 00 00 00",
                   }));
}

} // namespace
