#include "devicelink/Utils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>

using namespace YnqUtils;

namespace {

std::span<const uint8_t> Ascii(const char* s) {
    return {reinterpret_cast<const uint8_t*>(s), std::strlen(s)};
}

TEST(Crc16, CheckValueOfModbus) {
    uint16_t crc = 0;
    ASSERT_TRUE(Crc16Block(Ascii("123456789"), 0, 9, crc));
    EXPECT_EQ(crc, 0x4B37);
}

TEST(Crc16, RefusedRangesLeaveTheInitialValue) {
    struct Case {
        uint16_t start, end;
    };
    for (const Case c : {Case{0, 0}, Case{3, 3}, Case{5, 2}, Case{0, 10}}) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " end " << c.end);
        uint16_t crc = 0x1234;
        EXPECT_FALSE(Crc16Block(Ascii("123456789"), c.start, c.end, crc));
        EXPECT_EQ(crc, 0xFFFF);
    }
}

TEST(Crc16, BlockIsTheSequenceOfUpdates) {
    uint16_t block = 0;
    ASSERT_TRUE(Crc16Block(Ascii("123456789"), 2, 7, block));
    uint16_t step = 0xFFFF;
    for (char c : std::string("34567"))
        step = Crc16Update(step, static_cast<uint8_t>(c));
    EXPECT_EQ(block, step);
}

TEST(HexToInt, Table) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"1a", true, 26},          {"1A", true, 26},   {"1G", false, 0}, {"", true, 0},
        {"FFFFFFFF", true, -1},    {"0000FF", true, 255}, {"C1DD38", true, 0xC1DD38},
        {"12 3", false, 0},        {"-1", false, 0},
        // More than eight digits: only the last eight fit the 32-bit value.
        {"123456789", true, 0x23456789},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t v = 77;
        EXPECT_EQ(HexToInt(QByteArray(c.text), v), c.ok);
        EXPECT_EQ(v, c.value);
    }
}

TEST(HexDigitValue, OnlyUpperCaseDigits) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('a'), -1);
    EXPECT_EQ(HexDigitValue('G'), -1);
}

TEST(Bits, SetAndTest) {
    uint8_t b = 0x05;
    SetBit(b, 7);
    SetBit(b, 6);
    EXPECT_EQ(b, 0xC5);
    EXPECT_TRUE(BitIsSet(0x8000, 15));
    EXPECT_FALSE(BitIsSet(0x7FFF, 15));
}

TEST(ClampToZero, NegativeAndZeroBecomeZero) {
    EXPECT_EQ(ClampToZero(-3), 0);
    EXPECT_EQ(ClampToZero(0), 0);
    EXPECT_EQ(ClampToZero(7), 7);
}

TEST(Delay, ZeroHandlesNoEvent) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    Delay(0);
    EXPECT_FALSE(fired);
    QCoreApplication::processEvents(); // let the timer go before the next test
}

TEST(Delay, HandlesEventsAndWaitsAtLeastTheTime) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    Delay(1);
    EXPECT_TRUE(fired);

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    clock.restart();
    Delay(40);
    EXPECT_GE(clock.elapsed(), 40);
    EXPECT_GE(ticks, 1); // timers run inside the wait
}

TEST(HexBytes, UpperCaseWithoutTrailingBlank) {
    const uint8_t bytes[] = {0x00, 0xab, 0x5A};
    EXPECT_EQ(HexBytes(bytes), QStringLiteral("00 AB 5A"));
    EXPECT_EQ(HexBytes({}), QString());
}

} // namespace
