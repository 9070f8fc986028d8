#include "devicelink/ParamBlock.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ynq;

namespace {

TEST(Rotation, WorkedValues) {
    struct Case {
        int degrees;
        uint8_t lo, hi;
    };
    const Case cases[] = {
        {0, 0x00, 0x00},    {1, 0x8F, 0x00},     {-1, 0x71, 0xFF},   {90, 0x33, 0x32},
        {-90, 0xCD, 0xCD},  {229, 0xBB, 0x7F},   {-229, 0x45, 0x80},
        // 50 x 142.79 lies just below the half in binary, so it is stored as 7139, not 7140.
        {50, 0xE3, 0x1B},   {-50, 0x1D, 0xE4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        const uint16_t stored = EncodeRotation(c.degrees);
        EXPECT_EQ(stored & 0xFF, c.lo);
        EXPECT_EQ(stored >> 8, c.hi);
        EXPECT_EQ(DecodeRotation(c.lo, c.hi), c.degrees);
    }
    EXPECT_EQ(DecodeRotation(0x00, 0x80), 229) << "0x8000 stays positive";
    EXPECT_EQ(DecodeRotation(0x01, 0x80), -229);
}

TEST(Rotation, EveryAngleThatFitsComesBackUnchanged) {
    for (int d = -kMaxStoredRotation; d <= kMaxStoredRotation; ++d) {
        const uint16_t s = EncodeRotation(d);
        ASSERT_EQ(DecodeRotation(s & 0xFF, s >> 8), d);
    }
}

TEST(Rotation, AnglesTooLargeForTheFieldAreStoredAsTheirEquivalent) {
    struct Case {
        int entered, stored;
    };
    for (const Case c : {Case{360, 0}, Case{-360, 0}, Case{270, -90}, Case{-270, 90},
                         Case{230, -130}, Case{-230, 130}, Case{229, 229}, Case{200, 200}}) {
        SCOPED_TRACE(c.entered);
        EXPECT_EQ(FitRotation(c.entered), c.stored);
    }
    TDataArray image{};
    TrackerParams p = DecodeParams(image, 0);
    p.rotate = 360;
    p.la1Prcs = p.la2Prcs = 8;
    EncodeParams(p, image);
    EXPECT_EQ(DecodeParams(image, 0).rotate, 0);
}

// A block with every byte set, so that a field that spills over its bits shows.
TDataArray Varied() {
    TDataArray image{};
    for (std::size_t i = 0; i < kParamBlockSize; ++i)
        image[i] = static_cast<uint8_t>(0xA5 ^ (i * 37));
    return image;
}

bool Owned(std::size_t byte, uint8_t& mask) {
    struct Own {
        std::size_t byte;
        uint8_t mask;
    };
    static const Own owned[] = {
        {3, 0x20}, {4, 0x07}, {5, 0xFF}, {6, 0xFF}, {7, 0xFF}, {8, 0xFF}, {9, 0xFF},
        {26, 0x0F}, {27, 0xFF}, {28, 0xFF}, {34, 0x0F}, {35, 0xFF}, {36, 0xFF},
        {89, 0xF0}, {92, 0xFF}, {93, 0xFF}, {97, 0xF0}, {100, 0xFF}, {101, 0xFF},
    };
    for (const auto& o : owned) {
        if (o.byte == byte) {
            mask = o.mask;
            return true;
        }
    }
    mask = 0;
    return false;
}

TEST(ParamBlock, EncodeLeavesEveryBitThePageDoesNotOwn) {
    const TDataArray before = Varied();
    TDataArray image = before;
    TrackerParams p;
    p.mode = 1;
    p.ddz = 0;
    p.rotate = -77;
    p.dbx = 1, p.dby = 2, p.ratio = 3;
    p.la1Prcs = 12, p.la1Dzl = 4, p.la1Dzh = 5;
    p.la2Prcs = 9, p.la2Dzl = 6, p.la2Dzh = 7;
    p.pa1Flt = 2, p.pa1Kdh = 8, p.pa1Kdl = 9;
    p.pa2Flt = 5, p.pa2Kdh = 10, p.pa2Kdl = 11;
    EncodeParams(p, image);
    for (std::size_t i = 0; i < kDataArraySize; ++i) {
        uint8_t mask = 0;
        Owned(i, mask);
        ASSERT_EQ(image[i] & ~mask & 0xFF, before[i] & ~mask & 0xFF) << "byte " << i;
    }
    // Bit 4 of the filter bytes is cleared by design (the kept mask is 0x0F).
    EXPECT_EQ(image[89], (2 << 5) | (before[89] & 0x0F));

    const TrackerParams back = DecodeParams(image, std::nullopt);
    EXPECT_EQ(back.mode, 1);
    EXPECT_EQ(back.ddz, 0);
    EXPECT_EQ(back.rotate, -77);
    EXPECT_EQ(back.la1Prcs, 12);
    EXPECT_EQ(back.la2Prcs, 9);
    EXPECT_EQ(back.pa2Flt, 5);
    EXPECT_EQ(back.pa2Kdl, 11);
    EXPECT_EQ(back.la2Dzh, 7);
}

TEST(ParamBlock, ModeCodesThePageDoesNotShow) {
    TDataArray image{};
    image[4] = 0x05;
    EXPECT_EQ(DecodeParams(image, 1).mode, 1) << "the selector stays as it was";
    EXPECT_EQ(DecodeParams(image, std::nullopt).mode, std::nullopt);
    TrackerParams p = DecodeParams(image, std::nullopt);
    p.la1Prcs = p.la2Prcs = 8;
    EncodeParams(p, image);
    EXPECT_EQ(image[4], 0x05) << "no item selected leaves byte 4 alone";

    image[4] = 0xFA; // code 2 with the high bits set
    EXPECT_EQ(DecodeParams(image, std::nullopt).mode, 1);
    p.mode = 0;
    EncodeParams(p, image);
    EXPECT_EQ(image[4], 0xF8);
}

TEST(ParamBlock, EdgeBytes) {
    TDataArray image{};
    image[3] = 0xFF;
    image[26] = 0xA3;
    image[89] = 0xFF;
    TrackerParams p = DecodeParams(image, 0);
    EXPECT_EQ(p.ddz, 1);
    EXPECT_EQ(p.la1Prcs, 3);
    EXPECT_EQ(p.pa1Flt, 7);

    p.ddz = 0;
    p.la1Prcs = ClampField(*FindField("YNQ_LA1_prcs"), p.la1Prcs);
    p.la2Prcs = 8;
    p.pa1Flt = 2;
    EncodeParams(p, image);
    EXPECT_EQ(image[3], 0xDF);
    EXPECT_EQ(image[26], 0xA8);
    EXPECT_EQ(image[89], 0x4F);

    const uint8_t ddzBefore = image[3];
    p.ddz = std::nullopt;
    EncodeParams(p, image);
    EXPECT_EQ(image[3], ddzBefore) << "an empty dead-zone selector changes nothing";
}

TEST(ParamBlock, ImageBeyondTheBlockIsNeitherReadNorWritten) {
    TDataArray image{};
    std::fill(image.begin() + kParamBlockSize, image.end(), uint8_t{0x5C});
    TrackerParams p = DecodeParams(image, 0);
    p.la1Prcs = p.la2Prcs = 10;
    EncodeParams(p, image);
    EXPECT_TRUE(std::all_of(image.begin() + kParamBlockSize, image.end(),
                            [](uint8_t b) { return b == 0x5C; }));
}

TEST(ParamFields, NamesRangesAndClamps) {
    ASSERT_EQ(EditableFields().size(), 18u);
    EXPECT_EQ(EditableFields().front().name, "YNQ_CMN_mode");
    EXPECT_EQ(EditableFields().back().name, "YNQ_CMN_ddz");
    EXPECT_EQ(FindField("YNQ_NOPE"), nullptr);
    struct Case {
        const char* field;
        int in, out;
    };
    const Case cases[] = {
        {"YNQ_CMN_rotate", 400, 360},  {"YNQ_CMN_rotate", -400, -360}, {"YNQ_LA1_prcs", 3, 8},
        {"YNQ_LA2_prcs", 0, 8},        {"YNQ_LA1_prcs", 13, 12},       {"YNQ_LA1_dzl", -5, 0},
        {"YNQ_PA1_flt", 9, 7},         {"YNQ_CMN_ratio", 256, 255},    {"YNQ_PA2_kdh", 100, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.in);
        const FieldInfo* f = FindField(c.field);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(ClampField(*f, c.in), c.out);
    }
    TrackerParams p;
    SetFieldValue(*FindField("YNQ_PA2_kdl"), p, 42);
    SetFieldValue(*FindField("YNQ_CMN_mode"), p, 1);
    EXPECT_EQ(p.pa2Kdl, 42);
    EXPECT_EQ(FieldValue(*FindField("YNQ_CMN_mode"), p), 1);
}

} // namespace
