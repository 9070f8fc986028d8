#pragma once
// Colours of the skin. The window background is 0xC1DD38 (the forms' 3726785 with red in the
// low byte); everything else is chosen to sit on it: olive ink, a deep teal for active parts.

#include <QColor>

namespace skin {
inline const QColor kBackground{0xC1, 0xDD, 0x38};
inline const QColor kBackgroundLight{0xD9, 0xEC, 0x7A};
inline const QColor kBackgroundDark{0xA4, 0xC0, 0x2A};
inline const QColor kInk{0x2F, 0x3A, 0x08};
inline const QColor kInkSoft{0x5A, 0x6B, 0x16};
inline const QColor kFrameLine{0x7E, 0x97, 0x20};
inline const QColor kAccent{0x1F, 0x5C, 0x7A};
inline const QColor kAccentLight{0x3A, 0x93, 0xB8};
inline const QColor kAccentDark{0x14, 0x3F, 0x55};
inline const QColor kDisabled{0xA9, 0xB7, 0x7A};
inline const QColor kLedBlue{0x2A, 0x7B, 0xFF};
inline const QColor kLedRed{0xF0, 0x33, 0x2A};
inline const QColor kLedIr{0x8E, 0x1F, 0x6B};
} // namespace skin
