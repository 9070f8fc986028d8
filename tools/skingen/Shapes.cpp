#include "Shapes.h"

#include "Palette.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace skin {

QImage NewPicture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage NewBackground(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBackground);
    return image;
}

void RoundedGradient(QPainter& p, const QRectF& r, qreal radius, const QColor& top,
                     const QColor& bottom, const QColor& outline) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.setPen(QPen(outline, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void FramedPanel(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow below and to the right.
    for (int i = 3; i >= 1; --i) {
        QColor shade = kInk;
        shade.setAlpha(14 * (4 - i));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(r.adjusted(i, i + 1, i, i + 1).adjusted(0, 0, -1, -1), 9, 9);
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0xF2, 0xF8, 0xD2));
    g.setColorAt(1.0, QColor(0xDE, 0xEE, 0x92));
    p.setBrush(g);
    p.setPen(QPen(kFrameLine, 1.2));
    p.drawRoundedRect(r.adjusted(1, 1, -3, -3), 8, 8);
    // A thin inner highlight.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -4.5, -4.5), 6.5, 6.5);
    p.restore();
}

void Hatching(QPainter& p, const QRectF& r, const QColor& colour, int step) {
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(colour, 1.0));
    const int span = int(r.width() + r.height());
    for (int d = 0; d < span; d += step) {
        p.drawLine(QPointF(r.left() + d, r.top()), QPointF(r.left() + d - r.height(), r.bottom()));
    }
    p.restore();
}

void CentredText(QPainter& p, const QRectF& r, const QString& text, int pixelSize, bool bold,
                 const QColor& colour) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void MakerMark(QPainter& p, QPointF origin, qreal size, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = origin + QPointF(size / 2, size / 2);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, size * 0.12, size * 0.12);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal rad = size * (0.22 + 0.13 * i);
        QPen pen(colour, size * 0.075, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        const QRectF box(c.x() - rad, c.y() - rad, 2 * rad, 2 * rad);
        p.drawArc(box, (30 + 25 * i) * 16, (220 - 30 * i) * 16);
        p.drawArc(box, (250 + 25 * i) * 16, (60 - 10 * i) * 16);
    }
    p.restore();
}

void Wordmark(QPainter& p, const QRectF& r, const QColor& colour, bool withTagline) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal markSize = r.height();
    MakerMark(p, r.topLeft(), markSize, colour);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, r.height() * 0.06);
    f.setPixelSize(int(r.height() * (withTagline ? 0.62 : 0.8)));
    p.setFont(f);
    p.setPen(colour);
    const QRectF textBox(r.left() + markSize * 1.1, r.top(), r.width() - markSize * 1.1,
                         withTagline ? r.height() * 0.7 : r.height());
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QUIVRA"));
    if (withTagline) {
        QFont t(QStringLiteral("DejaVu Sans"));
        t.setPixelSize(int(r.height() * 0.24));
        t.setLetterSpacing(QFont::AbsoluteSpacing, r.height() * 0.035);
        p.setFont(t);
        const QRectF tagBox(textBox.left() + 2, r.top() + r.height() * 0.68, textBox.width(),
                            r.height() * 0.32);
        p.drawText(tagBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TRACKING SYSTEMS"));
    }
    p.restore();
}

namespace {

void KeysGlyph(QPainter& p, const QRectF& s, const QColor& c) {
    const qreal k = s.width() / 3.4;
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row == 0 && col == 2) {
                continue;
            }
            const QRectF key(s.left() + col * (k + 2) + row * k * 0.5, s.top() + 3 + row * (k + 3),
                             k, k);
            p.drawRoundedRect(key, 2, 2);
        }
    }
    p.setBrush(c);
    p.drawRoundedRect(QRectF(s.left() + 2 * (k + 2), s.top() + 3, k, k), 2, 2);
}

void IndicatorGlyph(QPainter& p, const QRectF& s, const QColor&) {
    const qreal d = s.width() / 3.6;
    const QColor leds[] = {kLedBlue, kLedRed, kLedIr};
    for (int i = 0; i < 3; ++i) {
        Led(p, QRectF(s.left() + i * (d + 2.5), s.center().y() - d / 2, d, d), leds[i], 0.0);
    }
}

void ParamsGlyph(QPainter& p, const QRectF& s, const QColor& c) {
    p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap));
    const qreal knobs[] = {0.3, 0.7, 0.45};
    for (int i = 0; i < 3; ++i) {
        const qreal y = s.top() + s.height() * (0.22 + 0.28 * i);
        p.drawLine(QPointF(s.left() + 1, y), QPointF(s.right() - 1, y));
        p.setBrush(c);
        p.drawEllipse(QPointF(s.left() + s.width() * knobs[i], y), 2.8, 2.8);
    }
}

void ServiceGlyph(QPainter& p, const QRectF& s, const QColor& c) {
    p.setPen(QPen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    const QPointF m = s.center();
    const qreal r = s.width() * 0.3;
    p.drawEllipse(m, r, r);
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(m.x(), m.y());
        t.rotate(45.0 * i);
        p.drawLine(t.map(QPointF(r, 0)), t.map(QPointF(r + 3.5, 0)));
    }
    p.setBrush(c);
    p.drawEllipse(m, r * 0.35, r * 0.35);
}

void ProfilesGlyph(QPainter& p, const QRectF& s, const QColor& c) {
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath folder;
    folder.moveTo(s.left() + 1, s.top() + 5);
    folder.lineTo(s.left() + s.width() * 0.4, s.top() + 5);
    folder.lineTo(s.left() + s.width() * 0.5, s.top() + 8);
    folder.lineTo(s.right() - 1, s.top() + 8);
    folder.lineTo(s.right() - 1, s.bottom() - 3);
    folder.lineTo(s.left() + 1, s.bottom() - 3);
    folder.closeSubpath();
    p.drawPath(folder);
    p.drawLine(QPointF(s.left() + 1, s.top() + 11), QPointF(s.right() - 1, s.top() + 11));
}

} // namespace

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& square, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Keys:
        KeysGlyph(p, square, colour);
        break;
    case Glyph::Indicator:
        IndicatorGlyph(p, square, colour);
        break;
    case Glyph::Params:
        ParamsGlyph(p, square, colour);
        break;
    case Glyph::Service:
        ServiceGlyph(p, square, colour);
        break;
    case Glyph::Profiles:
        ProfilesGlyph(p, square, colour);
        break;
    }
    p.restore();
}

void Led(QPainter& p, const QRectF& r, const QColor& colour, qreal glow) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (glow > 0) {
        QRadialGradient halo(r.center(), r.width() * (0.5 + glow));
        QColor inner = colour;
        inner.setAlpha(150);
        QColor outer = colour;
        outer.setAlpha(0);
        halo.setColorAt(0.3, inner);
        halo.setColorAt(1.0, outer);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        const qreal g = r.width() * glow;
        p.drawEllipse(r.adjusted(-g, -g, g, g));
    }
    QRadialGradient body(r.center() - QPointF(r.width() * 0.18, r.height() * 0.18),
                         r.width() * 0.7);
    body.setColorAt(0.0, colour.lighter(170));
    body.setColorAt(0.55, colour);
    body.setColorAt(1.0, colour.darker(170));
    p.setBrush(body);
    p.setPen(QPen(colour.darker(230), 1.0));
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    // Specular spot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QRectF(r.left() + r.width() * 0.24, r.top() + r.height() * 0.18, r.width() * 0.28,
                         r.height() * 0.2));
    p.restore();
}

} // namespace skin
