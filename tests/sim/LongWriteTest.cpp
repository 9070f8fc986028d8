// Long writes into the tracker's EEPROM: a frame spread over several reports is collected,
// checked and stored; bad frames and frames interrupted by another request are refused.
#include "SimFixture.h"

#include "sim/Crc16.h"

using namespace simtest;

namespace {

// New contents for the block, different from the factory defaults everywhere. The pattern
// never holds 0xA5, so no report of a frame can look like the start of a request.
Bytes newBlock() {
    Bytes data(124);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return data;
}

class LongWriteTest : public SimFixture {
protected:
    // The frame 0xA5, code, length, address, CRC, data, cut into reports of the device's
    // length (report ID, then the next L - 1 frame bytes, zero-padded).
    std::vector<Bytes> frameReports(const Bytes& data, uint16_t address, uint8_t code = 0x87,
                                    int crcDelta = 0) {
        const auto m = static_cast<uint16_t>(data.size());
        const auto crc = static_cast<uint16_t>(sim::crc16Modbus(data) + crcDelta);
        Bytes frame{0xA5,
                    code,
                    static_cast<uint8_t>(m & 0xFF),
                    static_cast<uint8_t>(m >> 8),
                    static_cast<uint8_t>(address & 0xFF),
                    static_cast<uint8_t>(address >> 8),
                    static_cast<uint8_t>(crc & 0xFF),
                    static_cast<uint8_t>(crc >> 8)};
        frame.insert(frame.end(), data.begin(), data.end());
        const std::size_t payload = static_cast<std::size_t>(length()) - 1;
        std::vector<Bytes> reports;
        for (std::size_t at = 0; at < frame.size(); at += payload) {
            const auto end = std::min(frame.size(), at + payload);
            reports.push_back(report(Bytes(frame.begin() + static_cast<std::ptrdiff_t>(at),
                                           frame.begin() + static_cast<std::ptrdiff_t>(end))));
        }
        return reports;
    }

    bool write(const Bytes& full) { return tracker->setFeature(full.data(), full.size()); }

    Bytes eeprom() const {
        return Bytes(hid->tracker().eeprom.begin(), hid->tracker().eeprom.end());
    }
};

class LongWriteFraming : public LongWriteTest,
                         public ::testing::WithParamInterface<std::pair<int, std::size_t>> {};

TEST_P(LongWriteFraming, WholeBlockIsStored) {
    const auto [reportLength, reportCount] = GetParam();
    sim::SimConfig config;
    config.reportLength = reportLength;
    start(config);
    const Bytes data = newBlock();
    const auto reports = frameReports(data, 0);
    ASSERT_EQ(reports.size(), reportCount);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(hid->tracker().acceptedWrites, 0) << "stored before the frame is complete";
        ASSERT_TRUE(write(reports[i]));
    }
    EXPECT_EQ(eeprom(), data);
    EXPECT_EQ(hid->tracker().acceptedWrites, 1);
    EXPECT_EQ(hid->tracker().rejectedWrites, 0);

    // The tracker now answers reads with the new block.
    ASSERT_TRUE(send(tracker, {0xA5, 0xC5, 124, 0, 0, 0}));
    const auto first = get(tracker);
    ASSERT_TRUE(first);
    EXPECT_EQ(word(*first, 7), sim::crc16Modbus(data));
}

// 132 frame bytes in reports of L - 1: 15, 9, 3, 3 and 1 reports.
INSTANTIATE_TEST_SUITE_P(ReportLengths, LongWriteFraming,
                         ::testing::Values(std::pair{10, 15U}, std::pair{17, 9U}, std::pair{64, 3U},
                                           std::pair{65, 3U}, std::pair{256, 1U}),
                         [](const auto& info) { return "L" + std::to_string(info.param.first); });

TEST_F(LongWriteTest, PartWriteChangesOnlyItsRange) {
    Bytes expected = eeprom();
    const Bytes data{0x10, 0x20, 0x30, 0x40};
    std::copy(data.begin(), data.end(), expected.begin() + 10);
    for (const Bytes& r : frameReports(data, 10)) {
        ASSERT_TRUE(write(r));
    }
    EXPECT_EQ(eeprom(), expected);
    EXPECT_EQ(hid->tracker().acceptedWrites, 1);
}

TEST_F(LongWriteTest, BadFramesAreRefused) {
    struct Case {
        const char* name;
        Bytes data;
        uint16_t address;
        uint8_t code;
        int crcDelta;
    };
    const Case cases[] = {
        {"bad crc", newBlock(), 0, 0x87, 1},
        {"beyond the block", Bytes(8, 0x33), 120, 0x87, 0},
        {"address outside", Bytes(4, 0x33), 124, 0x87, 0},
        {"no data", Bytes{}, 0, 0x87, 0},
        {"not the eeprom code", Bytes(4, 0x33), 0, 0x86, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(sim::SimConfig{});
        const Bytes before = eeprom();
        for (const Bytes& r : frameReports(c.data, c.address, c.code, c.crcDelta)) {
            ASSERT_TRUE(write(r)) << "the device takes the report; it refuses the frame";
        }
        EXPECT_EQ(eeprom(), before);
        EXPECT_EQ(hid->tracker().rejectedWrites, 1);
        EXPECT_EQ(hid->tracker().acceptedWrites, 0);
    }
}

TEST_F(LongWriteTest, AnotherRequestInsideAFrameAbandonsIt) {
    struct Case {
        const char* name;
        Bytes request;
        uint8_t replyByte1; // what the interrupting request is answered with
    };
    const Case cases[] = {
        {"histogram poll", {0xA5, 0x5A, 0x1B, 1, 2, 3, 4}, 0x1B},
        {"read request", {0xA5, 0xC5, 124, 0, 0, 0}, 0x5A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(sim::SimConfig{});
        const Bytes before = eeprom();
        const auto reports = frameReports(newBlock(), 0);
        ASSERT_EQ(reports.size(), 3U);
        ASSERT_TRUE(write(reports[0]));
        ASSERT_TRUE(send(tracker, c.request));
        const auto reply = get(tracker);
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[1], c.replyByte1) << "the interrupting request is still served";
        ASSERT_TRUE(write(reports[1]));
        ASSERT_TRUE(write(reports[2]));
        EXPECT_EQ(eeprom(), before);
        EXPECT_EQ(hid->tracker().rejectedWrites, 1);
        EXPECT_EQ(hid->tracker().acceptedWrites, 0);

        // The device is not stuck: a whole frame afterwards is stored.
        for (const Bytes& r : reports) {
            ASSERT_TRUE(write(r));
        }
        EXPECT_EQ(eeprom(), newBlock());
        EXPECT_EQ(hid->tracker().acceptedWrites, 1);
    }
}

TEST_F(LongWriteTest, OversizedFrameIsRefusedAtOnce) {
    // A frame announcing 2000 data bytes can never fit the host's buffer or the block.
    ASSERT_TRUE(send(tracker, {0xA5, 0x87, 0xD0, 0x07, 0, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(hid->tracker().rejectedWrites, 1);
    ASSERT_TRUE(command(tracker, 0x1D));
    EXPECT_TRUE(hid->tracker().on) << "the next request is a request of its own";
    EXPECT_EQ(hid->tracker().rejectedWrites, 1);
}

} // namespace
