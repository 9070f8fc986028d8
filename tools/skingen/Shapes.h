#pragma once
// Drawing helpers shared by the pictures: gradients, framed panels, glyphs and the wordmark.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace skin {

// A transparent ARGB picture of the given size.
QImage NewPicture(int width, int height);
// A picture filled with the window background.
QImage NewBackground(int width, int height);

// Rounded rectangle with a vertical gradient from `top` to `bottom` and a one-pixel outline.
void RoundedGradient(QPainter& p, const QRectF& r, qreal radius, const QColor& top,
                     const QColor& bottom, const QColor& outline);
// The framed panel that groups controls: a light, translucent fill, a soft shadow and a line.
void FramedPanel(QPainter& p, const QRectF& r);
// Faint diagonal hatching over `r`, the texture of the backgrounds.
void Hatching(QPainter& p, const QRectF& r, const QColor& colour, int step);
// Text centred in `r` with the DejaVu Sans face.
void CentredText(QPainter& p, const QRectF& r, const QString& text, int pixelSize, bool bold,
                 const QColor& colour);

// The maker's mark: three arcs around a dot, drawn into a square of side `size` at `origin`.
void MakerMark(QPainter& p, QPointF origin, qreal size, const QColor& colour);
// The word "QUIVRA" with the mark before it, fitted into `r`.
void Wordmark(QPainter& p, const QRectF& r, const QColor& colour, bool withTagline);

// Navigation glyphs, drawn into a square.
enum class Glyph { Keys, Indicator, Params, Service, Profiles };
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& square, const QColor& colour);

// A glowing LED of `colour` filling `r`.
void Led(QPainter& p, const QRectF& r, const QColor& colour, qreal glow);

} // namespace skin
