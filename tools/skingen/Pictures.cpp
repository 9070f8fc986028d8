// Every picture of the skin, one function each. Sizes are the sizes the windows place them at.
#include "Pictures.h"

#include "Palette.h"
#include "Shapes.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>
#include <vector>

namespace skin {

namespace {

QImage MainBackground() {
    QImage img = NewBackground(763, 559);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient head(0, 0, 0, 150);
    head.setColorAt(0.0, kBackgroundLight);
    head.setColorAt(1.0, kBackground);
    p.fillRect(QRect(0, 0, 763, 150), head);
    Hatching(p, QRectF(0, 0, 763, 100), QColor(255, 255, 255, 28), 7);
    // Status plate behind the device lines, and the line under the navigation.
    FramedPanel(p, QRectF(16, 14, 500, 60));
    p.setPen(QPen(kFrameLine, 1.0));
    p.drawLine(QPointF(20, 149.5), QPointF(743, 149.5));
    // Footer plate behind the check box and the button.
    QLinearGradient foot(0, 466, 0, 559);
    foot.setColorAt(0.0, kBackground);
    foot.setColorAt(1.0, kBackgroundDark);
    p.fillRect(QRect(0, 466, 763, 93), foot);
    p.drawLine(QPointF(20, 466.5), QPointF(743, 466.5));
    FramedPanel(p, QRectF(16, 486, 260, 54));
    return img;
}

QImage Nav(Glyph glyph, const QString& text, bool active) {
    QImage img = NewPicture(113, 43);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 3, 111, 39);
    if (active) {
        RoundedGradient(p, r, 7, kAccentLight, kAccentDark, kAccentDark.darker(130));
        p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
        p.drawLine(QPointF(8, 5.5), QPointF(105, 5.5));
        // Marker pointing at the page below.
        p.setPen(Qt::NoPen);
        p.setBrush(kBackgroundLight);
        QPainterPath tri;
        tri.moveTo(50, 42);
        tri.lineTo(56.5, 36);
        tri.lineTo(63, 42);
        tri.closeSubpath();
        p.drawPath(tri);
    } else {
        RoundedGradient(p, r, 7, QColor(0xE6, 0xF3, 0xA6), QColor(0xB3, 0xCF, 0x36), kFrameLine);
        p.setPen(QPen(QColor(255, 255, 255, 160), 1.0));
        p.drawLine(QPointF(8, 5.5), QPointF(105, 5.5));
    }
    const QColor ink = active ? QColor(Qt::white) : kInk;
    DrawGlyph(p, glyph, QRectF(7, 13, 17, 17), ink);
    CentredText(p, QRectF(27, 3, 84, 37), text, 11, true, ink);
    return img;
}

QImage Lamp() {
    QImage img = NewPicture(17, 17);
    QPainter p(&img);
    Led(p, QRectF(2, 2, 13, 13), kLedBlue, 0.12);
    return img;
}

QImage Logo() {
    QImage img = NewPicture(189, 40);
    QPainter p(&img);
    Wordmark(p, QRectF(4, 2, 183, 36), kInk, true);
    return img;
}

enum class Face { Normal, Hover, Down, Disabled };

QImage Button(int w, int h, Face face) {
    QImage img = NewPicture(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, w, h);
    const qreal rad = h * 0.3;
    // Drop shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2F, 0x3A, 0x08, face == Face::Down ? 20 : 55));
    p.drawRoundedRect(r.adjusted(1, 2, 0, 0), rad, rad);
    const QRectF body = r.adjusted(0, 0, -1, -2);
    switch (face) {
    case Face::Normal:
        RoundedGradient(p, body, rad, kAccentLight, kAccent, kAccentDark);
        break;
    case Face::Hover:
        RoundedGradient(p, body, rad, kAccentLight.lighter(118), kAccentLight, kAccentDark);
        break;
    case Face::Down:
        RoundedGradient(p, body.translated(0, 1), rad, kAccentDark, kAccent, kAccentDark);
        break;
    case Face::Disabled:
        RoundedGradient(p, body, rad, QColor(0xC4, 0xCE, 0x9E), kDisabled, kDisabled.darker(130));
        break;
    }
    if (face != Face::Down) {
        p.setPen(QPen(QColor(255, 255, 255, face == Face::Disabled ? 70 : 110), 1.0));
        p.drawLine(QPointF(rad, 1.5), QPointF(w - rad - 1, 1.5));
    }
    return img;
}

QImage Thumb(const QColor& led, bool focus) {
    QImage img = NewPicture(22, 28);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (focus) {
        p.setPen(QPen(kAccent, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(1, 1, 20, 26), 6, 6);
    }
    RoundedGradient(p, QRectF(3, 3, 16, 22), 5, QColor(0xFA, 0xFC, 0xEE), QColor(0xCF, 0xD9, 0xA8),
                    kInkSoft);
    Led(p, QRectF(5.5, 8.5, 11, 11), led, 0.0);
    return img;
}

QImage CheckBox(bool checked) {
    QImage img = NewPicture(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundedGradient(p, QRectF(0, 0, 16, 16), 3, Qt::white, QColor(0xE6, 0xEE, 0xC8), kFrameLine);
    if (checked) {
        QPen pen(kAccent, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(3.6, 8.4);
        tick.lineTo(6.8, 11.6);
        tick.lineTo(12.6, 4.2);
        p.drawPath(tick);
    }
    return img;
}

QImage ComboArrow() {
    QImage img = NewPicture(9, 6);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    QPainterPath tri;
    tri.moveTo(0, 0);
    tri.lineTo(9, 0);
    tri.lineTo(4.5, 6);
    tri.closeSubpath();
    p.drawPath(tri);
    return img;
}

QImage Icon() {
    QImage img = NewPicture(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(24, 20), 48);
    g.setColorAt(0.0, kBackgroundLight);
    g.setColorAt(1.0, kBackgroundDark);
    p.setBrush(g);
    p.setPen(QPen(kInk, 2.5));
    p.drawEllipse(QRectF(3, 3, 58, 58));
    MakerMark(p, QPointF(10, 10), 44, kAccent);
    return img;
}

QImage Frame(int w, int h) {
    QImage img = NewPicture(w, h);
    QPainter p(&img);
    FramedPanel(p, QRectF(0, 0, w, h));
    return img;
}

// A sphere with meridians and the two axes: the tracker's view of the head.
void Sphere(QPainter& p, QPointF c, qreal r, bool axes) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.4), r * 1.4);
    g.setColorAt(0.0, QColor(0xF6, 0xFB, 0xDF));
    g.setColorAt(0.6, QColor(0xCF, 0xE6, 0x6A));
    g.setColorAt(1.0, kBackgroundDark.darker(115));
    p.setBrush(g);
    p.setPen(QPen(kFrameLine.darker(120), 1.4));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x5A, 0x6B, 0x16, 110), 1.0));
    for (int i = 1; i <= 3; ++i) {
        const qreal k = i / 4.0;
        p.drawEllipse(c, r * k, r);
        p.drawEllipse(c, r, r * k);
    }
    if (axes) {
        QPen pen(kAccent, 2.6, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(c - QPointF(r * 1.25, 0), c + QPointF(r * 1.25, 0));
        p.drawLine(c + QPointF(0, r * 1.25), c - QPointF(0, r * 1.25));
        p.setBrush(kAccent);
        p.setPen(Qt::NoPen);
        QPainterPath ax;
        const QPointF ex = c + QPointF(r * 1.25, 0);
        ax.moveTo(ex + QPointF(8, 0));
        ax.lineTo(ex + QPointF(-2, -5));
        ax.lineTo(ex + QPointF(-2, 5));
        ax.closeSubpath();
        const QPointF ey = c - QPointF(0, r * 1.25);
        ax.moveTo(ey + QPointF(0, -8));
        ax.lineTo(ey + QPointF(-5, 2));
        ax.lineTo(ey + QPointF(5, 2));
        ax.closeSubpath();
        p.drawPath(ax);
        CentredText(p, QRectF(ex.x() - 6, ex.y() + 6, 16, 16), QStringLiteral("X"), 14, true,
                    kAccent);
        CentredText(p, QRectF(ey.x() + 6, ey.y() - 10, 16, 16), QStringLiteral("Y"), 14, true,
                    kAccent);
        p.setBrush(kLedRed);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawEllipse(c + QPointF(r * 0.32, -r * 0.22), 5, 5);
    }
    p.restore();
}

QImage SetsBackground() {
    QImage img = NewBackground(750, 317);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    FramedPanel(p, QRectF(14, 6, 270, 300));
    Hatching(p, QRectF(20, 12, 258, 288), QColor(0x7E, 0x97, 0x20, 26), 9);
    Sphere(p, QPointF(149, 140), 78, true);
    CentredText(p, QRectF(20, 246, 258, 24), QStringLiteral("QUIVRA TRACKER"), 13, true, kInkSoft);
    return img;
}

QImage PlaceholderFrame() {
    QImage img = NewPicture(691, 275);
    QPainter p(&img);
    FramedPanel(p, QRectF(0, 0, 691, 275));
    p.setOpacity(0.18);
    MakerMark(p, QPointF(691 / 2.0 - 70, 275 / 2.0 - 70), 140, kInkSoft);
    return img;
}

QImage Splash(int variant) {
    QImage img = NewBackground(683, 423);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 683, 423);
    g.setColorAt(0.0, kBackgroundLight);
    g.setColorAt(0.55, kBackground);
    g.setColorAt(1.0, kBackgroundDark);
    p.fillRect(img.rect(), g);
    Hatching(p, QRectF(0, 0, 683, 423), QColor(255, 255, 255, 22), 9);
    p.setPen(QPen(kInk, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 681, 421));
    Wordmark(p, QRectF(40, 34, 330, 64), kInk, true);
    CentredText(p, QRectF(40, 116, 420, 34), QStringLiteral("Quivra Control Center"), 26, true,
                kAccentDark);
    if (variant == 1) {
        Sphere(p, QPointF(562, 166), 78, true);
    } else {
        // The indicator: a bar with its three LEDs lit.
        RoundedGradient(p, QRectF(440, 104, 220, 92), 18, QColor(0x3C, 0x46, 0x1A),
                        QColor(0x1C, 0x22, 0x08), Qt::black);
        const QColor leds[] = {kLedBlue, kLedRed, kLedIr};
        for (int i = 0; i < 3; ++i) {
            Led(p, QRectF(470 + i * 64, 133, 34, 34), leds[i], 0.7);
        }
        CentredText(p, QRectF(440, 200, 220, 20), QStringLiteral("RavadOrora"), 13, true, kInk);
    }
    // Plate behind the progress text and bar.
    FramedPanel(p, QRectF(206, 228, 300, 108));
    CentredText(p, QRectF(0, 384, 683, 20), QStringLiteral("Version " QCC_VERSION), 11, false,
                kInkSoft);
    return img;
}

} // namespace

std::vector<PictureDef> AllPictures() {
    std::vector<PictureDef> list;
    list.push_back({"background", MainBackground});
    struct NavDef {
        const char* name;
        Glyph glyph;
        const char* text;
    };
    const NavDef navs[] = {{"nav_hotkey", Glyph::Keys, "Кнопки"},
                           {"nav_track", Glyph::Indicator, "Индикатор"},
                           {"nav_sets", Glyph::Params, "Параметры"},
                           {"nav_about", Glyph::Service, "Сервис"},
                           {"nav_profiles", Glyph::Profiles, "Профили"}};
    for (const NavDef& n : navs) {
        const QString text = QString::fromUtf8(n.text);
        const Glyph glyph = n.glyph;
        list.push_back({QString::fromLatin1(n.name), [=] { return Nav(glyph, text, false); }});
        list.push_back(
            {QString::fromLatin1(n.name) + "_active", [=] { return Nav(glyph, text, true); }});
    }
    list.push_back({"lamp_on", Lamp});
    list.push_back({"logo", Logo});
    const QSize sizes[] = {{145, 35}, {80, 30}, {177, 30}};
    const std::pair<Face, const char*> faces[] = {{Face::Normal, "normal"},
                                                  {Face::Hover, "hover"},
                                                  {Face::Down, "down"},
                                                  {Face::Disabled, "disabled"}};
    for (QSize s : sizes) {
        for (auto [face, fname] : faces) {
            const QString name =
                QStringLiteral("button_%1x%2_%3").arg(s.width()).arg(s.height()).arg(fname);
            const Face f = face;
            list.push_back({name, [=] { return Button(s.width(), s.height(), f); }});
        }
    }
    const std::pair<QColor, const char*> thumbs[] = {
        {kLedBlue, "blue"}, {kLedRed, "red"}, {kLedIr, "ir"}};
    for (auto [colour, tname] : thumbs) {
        const QColor c = colour;
        list.push_back({QStringLiteral("thumb_%1").arg(tname), [=] { return Thumb(c, false); }});
        list.push_back(
            {QStringLiteral("thumb_%1_focus").arg(tname), [=] { return Thumb(c, true); }});
    }
    list.push_back({"check_off", [] { return CheckBox(false); }});
    list.push_back({"check_on", [] { return CheckBox(true); }});
    list.push_back({"combo_arrow", ComboArrow});
    list.push_back({"icon", Icon});
    list.push_back({"frame_leds", [] { return Frame(691, 130); }});
    list.push_back({"frame_values", [] { return Frame(691, 83); }});
    list.push_back({"frame_common", [] { return Frame(436, 90); }});
    list.push_back({"frame_axes", [] { return Frame(436, 106); }});
    list.push_back({"sets_background", SetsBackground});
    list.push_back({"frame_placeholder", PlaceholderFrame});
    list.push_back({"splash1", [] { return Splash(1); }});
    list.push_back({"splash2", [] { return Splash(2); }});
    return list;
}

} // namespace skin
