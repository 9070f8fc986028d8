// The device link against the simulated tracker through the HID seam: the framing agrees with
// the device model over the supported report lengths, and the faults the device can show end a
// transfer the way the program expects.
#include "devicelink/HID.h"
#include "devicelink/ParamBlock.h"
#include "sim/SimHid.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SimLink : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        sim::SimConfig config;
        config.reportLength = GetParam();
        config.indicatorPlugged = false;
        controller = std::make_unique<sim::SimHidController>(config);
        controller->deviceChange();
        tracker = controller->checkOutByIndex(0);
        ASSERT_NE(tracker, nullptr);
        ASSERT_EQ(tracker->productName(), config.tracker.product);
        channel.SetHidDev(tracker);
    }
    bool ReadEeprom(uint16_t& received) {
        return channel.GetLongData(true, ynq::kReportId, 5, ynq::kParamBlockSize, 0, raw,
                                   received);
    }
    std::unique_ptr<sim::SimHidController> controller;
    platform::HidDevice* tracker = nullptr;
    TynqHidDevice channel;
    ynq::TDataArray raw{};
};

TEST_P(SimLink, ReadWriteReadRoundTrip) {
    uint16_t received = 0;
    ASSERT_TRUE(ReadEeprom(received));
    ASSERT_EQ(received, ynq::kParamBlockSize);
    const auto& eeprom = controller->tracker().eeprom;
    ASSERT_TRUE(std::equal(eeprom.begin(), eeprom.end(), raw.begin()));

    ynq::TrackerParams p = ynq::DecodeParams(raw, std::nullopt);
    p.rotate = 50;
    p.la1Prcs = 8;
    ynq::EncodeParams(p, raw);
    ASSERT_TRUE(channel.SetLongData(ynq::kReportId, 7, raw, ynq::kParamBlockSize, 0));
    EXPECT_EQ(controller->tracker().acceptedWrites, 1);
    EXPECT_EQ(eeprom[5], 0xE3);
    EXPECT_EQ(eeprom[6], 0x1B);

    ynq::TDataArray again{};
    std::swap(again, raw);
    ASSERT_TRUE(ReadEeprom(received));
    EXPECT_TRUE(std::equal(again.begin(), again.begin() + ynq::kParamBlockSize, raw.begin()));
}

TEST_P(SimLink, ChunkedAnswersAreJoined) {
    controller->faults().chunkLimit = 56;
    uint16_t received = 0;
    ASSERT_TRUE(ReadEeprom(received));
    const auto& eeprom = controller->tracker().eeprom;
    EXPECT_TRUE(std::equal(eeprom.begin(), eeprom.end(), raw.begin()));
    EXPECT_EQ(controller->tracker().longReads, 3) << "56 + 56 + 12 bytes";
}

INSTANTIATE_TEST_SUITE_P(ReportLengths, SimLink, testing::Values(10, 17, 64, 65, 256));

struct FaultCase {
    const char* name;
    void (*inject)(sim::Faults&);
    bool ok;
};

// Each fault on its own, for one read of the parameter block with 65-byte reports.
const FaultCase kFaults[] = {
    {"wrong_header_once", [](sim::Faults& f) { f.wrongHeader = 1; }, true},
    {"wrong_header_forever", [](sim::Faults& f) { f.wrongHeader = -1; }, false},
    {"wrong_crc", [](sim::Faults& f) { f.wrongCrc = 1; }, false},
    {"zero_chunk", [](sim::Faults& f) { f.zeroChunk = 1; }, false},
    {"follow_up_fails", [](sim::Faults& f) { f.followUpFails = 1; }, false},
    {"hostile_length", [](sim::Faults& f) { f.hostileLength = 65535; }, false},
    {"no_reply", [](sim::Faults& f) { f.getFails = 1; }, false},
    {"request_refused", [](sim::Faults& f) { f.setFails = 1; }, false},
};

class SimFault : public testing::TestWithParam<FaultCase> {};

TEST_P(SimFault, ReadEndsAsExpectedAndStoresNothingPastTheArray) {
    sim::SimConfig config;
    config.indicatorPlugged = false;
    sim::SimHidController controller(config);
    controller.deviceChange();
    TynqHidDevice channel;
    channel.SetHidDev(controller.checkOutByIndex(0));
    GetParam().inject(controller.faults());

    std::array<uint8_t, ynq::kParamBlockSize + 80> guarded;
    guarded.fill(0xCC);
    uint16_t received = 0;
    const bool ok = channel.GetLongData(true, ynq::kReportId, 5, ynq::kParamBlockSize, 0,
                                        std::span<uint8_t>(guarded).first(ynq::kParamBlockSize),
                                        received);
    EXPECT_EQ(ok, GetParam().ok);
    EXPECT_EQ(received, ok ? ynq::kParamBlockSize : 0);
    EXPECT_TRUE(std::all_of(guarded.begin() + ynq::kParamBlockSize, guarded.end(),
                            [](uint8_t b) { return b == 0xCC; }));
}

INSTANTIATE_TEST_SUITE_P(Faults, SimFault, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
