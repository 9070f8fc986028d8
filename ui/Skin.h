#pragma once
// The look of the program: its pictures (compiled in from ui/images), colours and the style sheet
// that gives edits, selectors, check boxes, tooltips and the progress bar the same skin.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

namespace Skin {

// Colours are written as in the forms: 24-bit values with red in the low byte.
constexpr unsigned kBackgroundColour = 3726785; // 0x38DDC1
constexpr unsigned kBlue = 0xFF0000;
constexpr unsigned kRed = 0x0000FF;
constexpr unsigned kBlack = 0x000000;

// A form colour value (red in the low byte) as a QColor.
QColor FormColour(unsigned bgr);

// The picture `name` (a file of ui/images without ".png"). A missing picture is a programming
// error: it is logged and an empty pixmap returned.
QPixmap Picture(const QString& name);

// The style sheet of every window of the program.
QString StyleSheet();

// Fonts of the forms: the common face at `pixelSize`, optionally bold.
QFont FormFont(int pixelSize, bool bold = false);

// Gives `widget` the form background (3726785) and the common font.
void ApplyFormLook(class QWidget& widget, int fontPixelSize = 12);

} // namespace Skin
