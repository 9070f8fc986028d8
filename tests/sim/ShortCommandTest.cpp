// The tracker's short commands: replies, state changes, the joystick output, and how the wire
// side treats malformed or failing requests.
#include "SimFixture.h"

#include <cerrno>

using namespace simtest;

namespace {

class ShortCommandTest : public SimFixture {};

TEST_F(ShortCommandTest, SetCentreRepliesStatusAndComplementedNonce) {
    hid->tracker().setHead(30.0, -10.0);
    ASSERT_TRUE(command(tracker, 0x1A, {0x12, 0x34, 0x56, 0x78}));
    const auto reply = get(tracker);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 65U);
    EXPECT_EQ((*reply)[0], kId);
    EXPECT_EQ((*reply)[4], 0x88);
    EXPECT_EQ((*reply)[5], 0xED);
    EXPECT_EQ((*reply)[6], 0xCB);
    EXPECT_EQ((*reply)[7], 0xA9);
    EXPECT_EQ((*reply)[8], 0x87);
    EXPECT_EQ(hid->tracker().centreYaw, 30.0);
    EXPECT_EQ(hid->tracker().centrePitch, -10.0);
    EXPECT_EQ(hid->tracker().centreCount, 1);
}

TEST_F(ShortCommandTest, SetCentreFaultsSpoilOneReplyEach) {
    hid->faults().centerBadStatus = 1;
    hid->faults().centerBadEcho = 1;
    const Bytes nonce{0x01, 0x02, 0x03, 0x04};
    ASSERT_TRUE(command(tracker, 0x1A, nonce));
    auto reply = get(tracker);
    ASSERT_TRUE(reply);
    EXPECT_NE((*reply)[4], 0x88);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE((*reply)[5 + i], static_cast<uint8_t>(~nonce[i])) << "byte " << 5 + i;
    }
    ASSERT_TRUE(command(tracker, 0x1A, nonce));
    reply = get(tracker);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[4], 0x88);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ((*reply)[5 + i], static_cast<uint8_t>(~nonce[i])) << "byte " << 5 + i;
    }
}

TEST_F(ShortCommandTest, HistogramValueInBytesTwoAndThree) {
    ASSERT_EQ(hid->tracker().histogram, 12345);
    ASSERT_TRUE(command(tracker, 0x1B, {0xAA, 0xBB, 0xCC, 0xDD}));
    const auto reply = get(tracker);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[2], 0x39);
    EXPECT_EQ((*reply)[3], 0x30);

    hid->tracker().histogram = 0xBEEF;
    ASSERT_TRUE(command(tracker, 0x1B));
    EXPECT_EQ(word(*get(tracker), 2), 0xBEEF);
}

TEST_F(ShortCommandTest, EachRequestReplacesThePendingReply) {
    // Nothing asked yet: a report of zeros after the ID, and the get still succeeds.
    auto reply = get(tracker);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[0], kId);
    EXPECT_EQ(std::count(reply->begin() + 1, reply->end(), 0), length() - 1);

    ASSERT_TRUE(command(tracker, 0x1A, {1, 2, 3, 4}));
    ASSERT_TRUE(command(tracker, 0x1B)); // the histogram poll slips in before the get
    reply = get(tracker);
    ASSERT_TRUE(reply);
    EXPECT_NE((*reply)[4], 0x88);
    EXPECT_EQ(word(*reply, 2), 12345);
    // Asking again answers the same reply.
    EXPECT_EQ(get(tracker), reply);
}

// Commands whose reply only has to arrive; each changes one piece of state.
struct StateCase {
    const char* name;
    uint8_t code;
    void (*check)(const sim::TrackerModel& before, const sim::TrackerModel& after);
};

const StateCase kStateCases[] = {
    {"restart", 0x00,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.restarts, b.restarts + 1);
         EXPECT_FALSE(a.on);
     }},
    {"clear params", 0x01,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.clearedParams, b.clearedParams + 1);
         EXPECT_EQ(a.eeprom, sim::TrackerModel::factoryDefaults());
     }},
    {"calibration start", 0x02,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.calibrationStarts, b.calibrationStarts + 1);
     }},
    {"calibration save", 0x03,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.calibrationSaves, b.calibrationSaves + 1);
     }},
    {"calibration reset", 0x04,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.calibrationResets, b.calibrationResets + 1);
     }},
    {"off, return to centre", 0x18,
     [](const sim::TrackerModel&, const sim::TrackerModel& a) {
         EXPECT_FALSE(a.on);
         EXPECT_EQ(a.axisX, 32767);
         EXPECT_EQ(a.axisY, 32767);
     }},
    {"off, keep value", 0x19,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_FALSE(a.on);
         EXPECT_EQ(a.axisX, b.axisX);
         EXPECT_EQ(a.axisY, b.axisY);
     }},
    {"on", 0x1D, [](const sim::TrackerModel&, const sim::TrackerModel& a) { EXPECT_TRUE(a.on); }},
    {"reset centre", 0x1E,
     [](const sim::TrackerModel& b, const sim::TrackerModel& a) {
         EXPECT_EQ(a.resetCentreCount, b.resetCentreCount + 1);
         EXPECT_EQ(a.centreYaw, 0.0);
         EXPECT_EQ(a.centrePitch, 0.0);
     }},
};

TEST_F(ShortCommandTest, StateCommandsChangeStateAndAnswerAWellFormedReport) {
    for (const StateCase& c : kStateCases) {
        SCOPED_TRACE(c.name);
        sim::TrackerModel& model = hid->tracker();
        // A tracker that is on, centred off-axis, looking away, with an edited block.
        model.on = true;
        model.centreYaw = 5.0;
        model.centrePitch = 5.0;
        model.setHead(50.0, 20.0);
        model.eeprom[7] = 99;
        const sim::TrackerModel before = model;
        ASSERT_NE(before.axisX, 32767);

        ASSERT_TRUE(command(tracker, c.code));
        const auto reply = get(tracker);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->size(), static_cast<std::size_t>(length()));
        EXPECT_EQ((*reply)[0], kId);
        EXPECT_EQ((*reply)[3], c.code);
        c.check(before, model);
    }
}

TEST_F(ShortCommandTest, AxesFollowTheHeadOnlyWhileOn) {
    sim::TrackerModel& model = hid->tracker();
    model.setHead(90.0, 45.0);
    EXPECT_EQ(model.axisX, 32767) << "off: the output does not move";

    ASSERT_TRUE(command(tracker, 0x1D));
    EXPECT_EQ(model.axisX, 49151);
    EXPECT_EQ(model.axisY, 49151);
    model.setHead(-180.0, -90.0);
    EXPECT_EQ(model.axisX, 0);
    EXPECT_EQ(model.axisY, 0);
    model.setHead(180.0, 200.0); // pitch beyond the range is clamped
    EXPECT_EQ(model.axisX, 65535);
    EXPECT_EQ(model.axisY, 65535);
    model.setHead(350.0, 0.0); // yaw wraps: 10 degrees to the left of straight ahead
    EXPECT_EQ(model.axisX, 30947);

    // Set centre makes the present head the centre.
    ASSERT_TRUE(command(tracker, 0x1A, {0, 0, 0, 0}));
    EXPECT_EQ(model.axisX, 32767);
    EXPECT_EQ(model.axisY, 32767);

    model.setHead(0.0, 0.0);
    const uint16_t heldX = model.axisX;
    ASSERT_TRUE(command(tracker, 0x19));
    model.setHead(-90.0, -45.0);
    EXPECT_EQ(model.axisX, heldX) << "off keeping value freezes the output";
    ASSERT_TRUE(command(tracker, 0x18));
    EXPECT_EQ(model.axisX, 32767);
    EXPECT_EQ(model.axisY, 32767);
}

TEST_F(ShortCommandTest, MalformedRequestsFailWithAReason) {
    // The channel always sends the full report length; anything else is refused.
    Bytes shortReport = report({0xA5, 0x5A, 0x1D});
    shortReport.resize(64);
    EXPECT_FALSE(tracker->setFeature(shortReport.data(), shortReport.size()));
    EXPECT_EQ(tracker->lastError(), EINVAL);
    EXPECT_FALSE(hid->tracker().on);

    Bytes wrongId = report({0xA5, 0x5A, 0x1D});
    wrongId[0] = 0x01;
    EXPECT_FALSE(tracker->setFeature(wrongId.data(), wrongId.size()));
    EXPECT_EQ(tracker->lastError(), EPIPE);
    EXPECT_FALSE(hid->tracker().on);

    Bytes buffer(65, 0);
    buffer[0] = 0x02;
    EXPECT_FALSE(tracker->getFeature(buffer.data(), buffer.size()));

    ASSERT_TRUE(command(tracker, 0x1D));
    EXPECT_EQ(tracker->lastError(), 0);
    EXPECT_TRUE(hid->tracker().on);
}

TEST_F(ShortCommandTest, GetFillsAtMostTheReportLength) {
    ASSERT_TRUE(command(tracker, 0x1B));
    Bytes big(100, 0x77);
    big[0] = kId;
    ASSERT_TRUE(tracker->getFeature(big.data(), big.size()));
    EXPECT_EQ(word(big, 2), 12345);
    EXPECT_EQ(big[64], 0x00);
    EXPECT_EQ(big[65], 0x77) << "bytes after the report length are left alone";

    Bytes small(4, 0);
    small[0] = kId;
    ASSERT_TRUE(tracker->getFeature(small.data(), small.size()));
    EXPECT_EQ(word(small, 2), 12345);
}

TEST_F(ShortCommandTest, InjectedRequestFailuresHitTheirTarget) {
    hid->faults().getFails = 2;
    ASSERT_TRUE(command(tracker, 0x1B));
    EXPECT_FALSE(get(tracker));
    EXPECT_EQ(tracker->lastError(), EIO);
    EXPECT_FALSE(get(tracker));
    EXPECT_TRUE(get(tracker)) << "the counter is used up";

    hid->faults().setFails = -1;
    hid->faults().target = sim::FaultTarget::Tracker;
    EXPECT_FALSE(command(tracker, 0x1D));
    EXPECT_FALSE(hid->tracker().on) << "a failed request does not reach the firmware";
    EXPECT_TRUE(command(indicator, 0x0B, {0x11, 125, 0, 0}));
    EXPECT_TRUE(hid->indicator().irOn);
    EXPECT_FALSE(command(tracker, 0x1D)) << "-1 means always";
}

TEST_F(ShortCommandTest, ZeroReportLengthRefusesEveryRequest) {
    hid->faults().zeroReportLength = true;
    EXPECT_EQ(tracker->featureReportLength(), 0);
    EXPECT_EQ(indicator->featureReportLength(), 0);
    const Bytes bytes = report({0xA5, 0x5A, 0x1D});
    EXPECT_FALSE(tracker->setFeature(bytes.data(), bytes.size()));
    Bytes buffer(65, 0);
    buffer[0] = kId;
    EXPECT_FALSE(tracker->getFeature(buffer.data(), buffer.size()));
    EXPECT_FALSE(hid->tracker().on);
}

} // namespace
