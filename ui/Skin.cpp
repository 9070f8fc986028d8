#include "Skin.h"

#include <QDebug>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

#include <algorithm>

// The pictures are compiled into this static library; their registration has to be pulled in.
static void RegisterSkinResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    (void)registered;
}

namespace Skin {

QColor FormColour(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QPixmap Picture(const QString& name) {
    RegisterSkinResources();
    QPixmap pixmap(QStringLiteral(":/skin/") + name + QStringLiteral(".png"));
    if (pixmap.isNull()) {
        qWarning().noquote() << "program error: the skin has no picture" << name;
    }
    return pixmap;
}

QFont FormFont(int pixelSize, bool bold) {
    // The forms were laid out for Tahoma. Where it is missing, DejaVu Sans a little smaller
    // takes the same room (it runs about 8 % wider at the same size).
    static const bool haveTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    QFont font(haveTahoma ? QStringLiteral("Tahoma") : QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(haveTahoma ? pixelSize : std::max(1, int(pixelSize * 0.92 + 0.5)));
    font.setBold(bold);
    return font;
}

void ApplyFormLook(QWidget& widget, int fontPixelSize) {
    QPalette pal = widget.palette();
    pal.setColor(QPalette::Window, FormColour(kBackgroundColour));
    pal.setColor(QPalette::WindowText, QColor(0x2F, 0x3A, 0x08));
    widget.setPalette(pal);
    widget.setAutoFillBackground(true);
    widget.setFont(FormFont(fontPixelSize));
}

QString StyleSheet() {
    RegisterSkinResources();
    return QStringLiteral(R"(
QLineEdit, QComboBox {
    background: #FFFFFF;
    color: #1E2605;
    border: 1px solid #7E9720;
    border-radius: 3px;
    padding: 0px 3px;
    selection-background-color: #3A93B8;
}
QLineEdit:focus, QComboBox:focus { border: 1px solid #1F5C7A; }
QLineEdit:disabled, QComboBox:disabled {
    background: #E4EBC8;
    color: #8A9460;
    border: 1px solid #A9B77A;
}
QComboBox { padding: 0px 1px 0px 3px; }
QComboBox::drop-down {
    subcontrol-origin: padding;
    subcontrol-position: center right;
    width: 13px;
    border-left: 1px solid #C3D27A;
}
QComboBox::down-arrow { image: url(:/skin/combo_arrow.png); }
QComboBox::down-arrow:disabled { image: none; }
QComboBox QAbstractItemView {
    background: #FFFFFF;
    border: 1px solid #7E9720;
    selection-background-color: #3A93B8;
    selection-color: #FFFFFF;
}
QCheckBox { color: #2F3A08; spacing: 7px; }
QCheckBox::indicator { width: 16px; height: 16px; }
QCheckBox::indicator:unchecked { image: url(:/skin/check_off.png); }
QCheckBox::indicator:checked { image: url(:/skin/check_on.png); }
QToolTip {
    background: #FBFDEB;
    color: #2F3A08;
    border: 1px solid #7E9720;
    padding: 2px 4px;
}
QProgressBar {
    background: #F4F9DC;
    border: 1px solid #7E9720;
    border-radius: 6px;
    color: transparent;
}
QProgressBar::chunk {
    border-radius: 5px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3A93B8, stop:1 #1F5C7A);
    margin: 2px;
}
QMenu {
    background: #FBFDEB;
    color: #2F3A08;
    border: 1px solid #7E9720;
    padding: 3px;
}
QMenu::item { padding: 4px 22px 4px 24px; }
QMenu::item:selected { background: #3A93B8; color: #FFFFFF; }
QMenu::indicator { width: 16px; height: 16px; left: 4px; }
QMenu::indicator:checked { image: url(:/skin/check_on.png); }
QMenu::indicator:unchecked { image: url(:/skin/check_off.png); }
)");
}

} // namespace Skin
