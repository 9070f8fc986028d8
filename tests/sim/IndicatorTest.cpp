// The indicator's LEDs follow the mask and levels of the LED command.
#include "SimFixture.h"

using namespace simtest;

namespace {

struct Led {
    bool on;
    uint8_t level;
    bool operator==(const Led&) const = default;
};

void PrintTo(const Led& led, std::ostream* os) {
    *os << (led.on ? "on/" : "off/") << int(led.level);
}

// The seven LED commands the program sends (brightness 125 / 200 / 255 for IR / blue / red),
// each applied to an indicator whose three LEDs are lit at level 9. Only the LEDs a command
// addresses change.
struct LedCase {
    const char* name;
    uint8_t mask, ir, blue, red;
    Led expectIr, expectBlue, expectRed;
};

const Led kUntouched{true, 9};

const LedCase kLedCases[] = {
    {"ir on", 0x11, 125, 0, 0, {true, 125}, kUntouched, kUntouched},
    {"ir off", 0x01, 0, 0, 0, {false, 0}, kUntouched, kUntouched},
    {"blue on", 0x33, 125, 200, 0, {true, 125}, {true, 200}, kUntouched},
    {"blue off", 0x03, 0, 0, 0, {false, 0}, {false, 0}, kUntouched},
    {"red on", 0x55, 125, 0, 255, {true, 125}, kUntouched, {true, 255}},
    {"red off", 0x05, 0, 0, 0, {false, 0}, kUntouched, {false, 0}},
    {"all off", 0x77, 0, 0, 0, {false, 0}, {false, 0}, {false, 0}},
};

class IndicatorTest : public SimFixture {
protected:
    bool led(uint8_t mask, uint8_t ir, uint8_t blue, uint8_t red) {
        return command(indicator, 0x0B, {mask, ir, blue, red});
    }
};

TEST_F(IndicatorTest, LedStateFromMask) {
    const sim::IndicatorModel& model = hid->indicator();
    for (const LedCase& c : kLedCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(led(0x77, 9, 9, 9));
        ASSERT_TRUE(model.irOn && model.blueOn && model.redOn);

        ASSERT_TRUE(led(c.mask, c.ir, c.blue, c.red));
        EXPECT_EQ(model.mask, c.mask);
        EXPECT_EQ((Led{model.irOn, model.irLevel}), c.expectIr);
        EXPECT_EQ((Led{model.blueOn, model.blueLevel}), c.expectBlue);
        EXPECT_EQ((Led{model.redOn, model.redLevel}), c.expectRed);
    }
    EXPECT_EQ(model.ledCommands, 14);
}

TEST_F(IndicatorTest, RestartDarkensAndOtherCommandsAreIgnored) {
    ASSERT_TRUE(led(0x33, 125, 255, 0));
    ASSERT_TRUE(command(indicator, 0x1D)); // a tracker command means nothing here
    EXPECT_TRUE(hid->indicator().blueOn);
    ASSERT_TRUE(send(indicator, {0xA5, 0xC5, 124, 0, 0, 0}));
    EXPECT_TRUE(hid->indicator().blueOn);

    ASSERT_TRUE(command(indicator, 0x00));
    EXPECT_EQ(hid->indicator().restarts, 1);
    EXPECT_FALSE(hid->indicator().irOn);
    EXPECT_FALSE(hid->indicator().blueOn);
    EXPECT_EQ(hid->tracker().restarts, 0) << "the tracker did not restart";
}

} // namespace
