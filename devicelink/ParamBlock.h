#pragma once
// The tracker's 124-byte parameter block: where each field the user edits lives in the image,
// and how page values are decoded from it and encoded back, changing only the owned bits.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ynq {

constexpr std::size_t kDataArraySize = 1001; // TDataArray: indexes 0 .. 1000
constexpr std::size_t kParamBlockSize = 124; // bytes 0 .. 123 belong to the device
using TDataArray = std::array<uint8_t, kDataArraySize>;

// Device-side scale of the rotation field: stored = degrees x 142.79 (binary double).
constexpr double kRotationScale = 142.79;

// One value per field the page shows. The selectors are item indexes; mode may be "no item".
struct TrackerParams {
    std::optional<int> mode; // 0 = "Джойстик" (code 0), 1 = "Хатка" (code 2), none = other code
    std::optional<int> ddz;  // 0 = off, 1 = on; none leaves bit 5 of byte 3 alone on encode
    int rotate = 0;          // degrees
    int dbx = 0, dby = 0, ratio = 0;
    int la1Prcs = 0, la1Dzl = 0, la1Dzh = 0;
    int la2Prcs = 0, la2Dzl = 0, la2Dzh = 0;
    int pa1Flt = 0, pa1Kdh = 0, pa1Kdl = 0;
    int pa2Flt = 0, pa2Kdh = 0, pa2Kdl = 0;
};

// Degrees shown for a stored rotation (two's complement, 0x8000 stays positive), ties to even.
int DecodeRotation(uint8_t lo, uint8_t hi);
// Stored 16-bit value for `degrees`: round-half-even(degrees x 142.79), two's complement.
uint16_t EncodeRotation(int degrees);
// The equivalent angle in -180 .. 180 (360 -> 0, 270 -> -90, -270 -> 90, 180 stays 180).
int NormaliseRotation(int degrees);
// Largest magnitude the 16-bit field holds at this scale and decodes back unchanged.
constexpr int kMaxStoredRotation = 229;
// The angle that is stored for an entry: itself when it fits the field (-229 .. 229), otherwise
// the equivalent rotation in -180 .. 180, so that a read shows the same orientation.
int FitRotation(int degrees);

// Reads every field out of the image. `previousMode` is kept when byte 4 holds a code the page
// does not show.
TrackerParams DecodeParams(std::span<const uint8_t> image, std::optional<int> previousMode);

// Writes every field into the image, in the page's order, touching only the bits each field
// owns. The values are expected in their accepted ranges; the rotation goes through FitRotation.
void EncodeParams(const TrackerParams& params, std::span<uint8_t> image);

// Named access for tools: the page's field names (YNQ_CMN_rotate, ...) in the page's tab order.
// Selectors hold an item index (0 or 1); the others an integer.
struct FieldInfo {
    std::string_view name;
    int min;
    int max;
    int TrackerParams::*value = nullptr;                // the integer fields
    std::optional<int> TrackerParams::*item = nullptr;  // the two selectors
};
std::span<const FieldInfo> EditableFields();
const FieldInfo* FindField(std::string_view name); // null when there is no such field
// Clamps as the page's validation does: above the maximum gives the maximum, below the minimum
// gives the minimum.
int ClampField(const FieldInfo& field, int value);
// The field's value in `params` (nullopt for a selector without an item).
std::optional<int> FieldValue(const FieldInfo& field, const TrackerParams& params);
void SetFieldValue(const FieldInfo& field, TrackerParams& params, int value);

} // namespace ynq
