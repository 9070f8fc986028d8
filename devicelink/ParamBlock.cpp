#include "devicelink/ParamBlock.h"

#include <array>
#include <cmath>

namespace ynq {

namespace {

// Byte positions of the fields. The LA and PA groups hold one record per axis, 8 bytes apart.
constexpr std::size_t kDdzByte = 3;    // bit 5
constexpr uint8_t kDdzBit = 0x20;
constexpr std::size_t kModeByte = 4;   // bits 0-2
constexpr std::size_t kRotateLo = 5;   // 16-bit signed, little-endian
constexpr std::size_t kRotateHi = 6;
constexpr std::size_t kDbx = 7;
constexpr std::size_t kDby = 8;
constexpr std::size_t kRatio = 9;
constexpr std::size_t kLa1 = 26;       // prcs (bits 0-3), then dzl, dzh
constexpr std::size_t kLa2 = 34;
constexpr std::size_t kPa1 = 89;       // flt (bits 5-7); kdh at +3, kdl at +4
constexpr std::size_t kPa2 = 97;
constexpr std::size_t kDzl = 1, kDzh = 2, kKdh = 3, kKdl = 4;

constexpr uint8_t kModeJoystick = 0; // item 0, "Джойстик"
constexpr uint8_t kModeHat = 2;      // item 1, "Хатка"

uint8_t Byte(int v) { return static_cast<uint8_t>(v & 0xFF); }

} // namespace

int DecodeRotation(uint8_t lo, uint8_t hi) {
    int s = lo + 256 * hi;
    if (s > 0x8000) // 0x8000 itself stays positive
        s -= 65536;
    // nearbyint rounds to nearest with ties to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(s / kRotationScale));
}

uint16_t EncodeRotation(int degrees) {
    // Rounded from the exact product of the degrees and the double nearest 142.79. The product
    // rounded to double can land exactly on a half (50 x 142.79 gives 7139.5) although the exact
    // value lies just below it; the fma remainder tells which side it really is on.
    const double product = degrees * kRotationScale;
    const double remainder = std::fma(static_cast<double>(degrees), kRotationScale, -product);
    double rounded = std::nearbyint(product);
    if (std::fabs(product - std::trunc(product)) == 0.5 && remainder != 0.0)
        rounded = remainder > 0.0 ? std::ceil(product) : std::floor(product);
    long r = static_cast<long>(rounded);
    if (r <= 0)
        r += 65536;
    return static_cast<uint16_t>(r & 0xFFFF);
}

int NormaliseRotation(int degrees) {
    int d = degrees % 360;
    if (d > 180)
        d -= 360;
    else if (d < -180)
        d += 360;
    return d;
}

int FitRotation(int degrees) {
    if (degrees >= -kMaxStoredRotation && degrees <= kMaxStoredRotation)
        return degrees;
    return NormaliseRotation(degrees);
}

TrackerParams DecodeParams(std::span<const uint8_t> image, std::optional<int> previousMode) {
    TrackerParams p;
    const uint8_t mode = image[kModeByte] & 0x07;
    if (mode == kModeJoystick)
        p.mode = 0;
    else if (mode == kModeHat)
        p.mode = 1;
    else
        p.mode = previousMode;
    p.ddz = (image[kDdzByte] & kDdzBit) >> 5;
    p.rotate = DecodeRotation(image[kRotateLo], image[kRotateHi]);
    p.dbx = image[kDbx];
    p.dby = image[kDby];
    p.ratio = image[kRatio];
    p.la1Prcs = image[kLa1] & 0x0F;
    p.la1Dzl = image[kLa1 + kDzl];
    p.la1Dzh = image[kLa1 + kDzh];
    p.la2Prcs = image[kLa2] & 0x0F;
    p.la2Dzl = image[kLa2 + kDzl];
    p.la2Dzh = image[kLa2 + kDzh];
    p.pa1Flt = (image[kPa1] & 0xE0) >> 5;
    p.pa1Kdh = image[kPa1 + kKdh];
    p.pa1Kdl = image[kPa1 + kKdl];
    p.pa2Flt = (image[kPa2] & 0xE0) >> 5;
    p.pa2Kdh = image[kPa2 + kKdh];
    p.pa2Kdl = image[kPa2 + kKdl];
    return p;
}

void EncodeParams(const TrackerParams& p, std::span<uint8_t> image) {
    auto& mode = image[kModeByte];
    if (p.mode == 0)
        mode = static_cast<uint8_t>((mode & 0xF8) + kModeJoystick);
    else if (p.mode == 1)
        mode = static_cast<uint8_t>((mode & 0xF8) + kModeHat);

    if (p.ddz) {
        auto& ddz = image[kDdzByte];
        ddz = static_cast<uint8_t>((ddz & ~kDdzBit & 0xFF) + 32 * (*p.ddz & 1));
    }

    const uint16_t r = EncodeRotation(FitRotation(p.rotate));
    image[kRotateLo] = static_cast<uint8_t>(r & 0xFF);
    image[kRotateHi] = static_cast<uint8_t>((r & 0xFF00) >> 8);

    image[kDbx] = Byte(p.dbx);
    image[kDby] = Byte(p.dby);
    image[kRatio] = Byte(p.ratio);

    auto prcs = [](uint8_t& b, int v) { b = static_cast<uint8_t>((b & 0xF0) + (v & 0x0F)); };
    prcs(image[kLa1], p.la1Prcs);
    prcs(image[kLa2], p.la2Prcs);
    image[kLa1 + kDzl] = Byte(p.la1Dzl);
    image[kLa2 + kDzl] = Byte(p.la2Dzl);
    image[kLa1 + kDzh] = Byte(p.la1Dzh);
    image[kLa2 + kDzh] = Byte(p.la2Dzh);

    // Bits 5-7 take the level and bits 0-3 are kept; bit 4 is cleared, as the firmware expects.
    auto flt = [](uint8_t& b, int v) { b = static_cast<uint8_t>(((v & 0x07) << 5) + (b & 0x0F)); };
    flt(image[kPa1], p.pa1Flt);
    flt(image[kPa2], p.pa2Flt);
    image[kPa1 + kKdh] = Byte(p.pa1Kdh);
    image[kPa2 + kKdh] = Byte(p.pa2Kdh);
    image[kPa1 + kKdl] = Byte(p.pa1Kdl);
    image[kPa2 + kKdl] = Byte(p.pa2Kdl);
}

namespace {

using P = TrackerParams;
const std::array<FieldInfo, 18> kFields{{
    {"YNQ_CMN_mode", 0, 1, nullptr, &P::mode},
    {"YNQ_CMN_rotate", -360, 360, &P::rotate},
    {"YNQ_CMN_dbx", 0, 255, &P::dbx},
    {"YNQ_CMN_dby", 0, 255, &P::dby},
    {"YNQ_CMN_ratio", 0, 255, &P::ratio},
    {"YNQ_PA1_flt", 0, 7, &P::pa1Flt},
    {"YNQ_PA2_flt", 0, 7, &P::pa2Flt},
    {"YNQ_PA1_kdh", 0, 255, &P::pa1Kdh},
    {"YNQ_PA2_kdh", 0, 255, &P::pa2Kdh},
    {"YNQ_PA1_kdl", 0, 255, &P::pa1Kdl},
    {"YNQ_PA2_kdl", 0, 255, &P::pa2Kdl},
    {"YNQ_LA1_dzl", 0, 255, &P::la1Dzl},
    {"YNQ_LA2_dzl", 0, 255, &P::la2Dzl},
    {"YNQ_LA1_dzh", 0, 255, &P::la1Dzh},
    {"YNQ_LA2_dzh", 0, 255, &P::la2Dzh},
    {"YNQ_LA1_prcs", 8, 12, &P::la1Prcs},
    {"YNQ_LA2_prcs", 8, 12, &P::la2Prcs},
    {"YNQ_CMN_ddz", 0, 1, nullptr, &P::ddz},
}};

} // namespace

std::span<const FieldInfo> EditableFields() { return kFields; }

const FieldInfo* FindField(std::string_view name) {
    for (const auto& f : kFields) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

int ClampField(const FieldInfo& field, int value) {
    if (value > field.max)
        return field.max;
    if (value < field.min)
        return field.min;
    return value;
}

std::optional<int> FieldValue(const FieldInfo& field, const TrackerParams& params) {
    if (field.value)
        return params.*field.value;
    return params.*field.item;
}

void SetFieldValue(const FieldInfo& field, TrackerParams& params, int value) {
    if (field.value)
        params.*field.value = value;
    else
        params.*field.item = value;
}

} // namespace ynq
