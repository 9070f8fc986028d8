#include "SkinWidgets.h"

#include "Skin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

// ---- TJvImgBtn ----------------------------------------------------------------------------

TJvImgBtn::TJvImgBtn(const QString& objectName, const QString& caption, const QString& face,
                     QWidget* parent)
    : QAbstractButton(parent), normal_(Skin::Picture(face + QStringLiteral("_normal"))),
      hover_(Skin::Picture(face + QStringLiteral("_hover"))),
      down_(Skin::Picture(face + QStringLiteral("_down"))),
      disabled_(Skin::Picture(face + QStringLiteral("_disabled"))) {
    setObjectName(objectName);
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setFont(Skin::FormFont(12, true));
    setFixedSize(normal_.size());
}

QSize TJvImgBtn::sizeHint() const {
    return normal_.size();
}

void TJvImgBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPixmap& face = !isEnabled() ? disabled_ : isDown() ? down_ : hovered_ ? hover_ : normal_;
    p.drawPixmap(0, 0, face);
    QRect textRect = rect().adjusted(0, 0, 0, -2);
    if (isDown()) {
        textRect.translate(0, 1);
    }
    p.setFont(font());
    p.setPen(isEnabled() ? QColor(0x14, 0x3F, 0x55) : QColor(0x80, 0x88, 0x60));
    p.drawText(textRect.translated(0, 1), Qt::AlignCenter, text());
    p.setPen(isEnabled() ? QColor(Qt::white) : QColor(0xF4, 0xF6, 0xE8));
    p.drawText(textRect, Qt::AlignCenter, text());
    if (hasFocus()) {
        p.setPen(QPen(QColor(255, 255, 255, 150), 1, Qt::DotLine));
        p.drawRoundedRect(rect().adjusted(3, 3, -4, -5), 4, 4);
    }
}

void TJvImgBtn::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TJvImgBtn::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// ---- TJvImage -----------------------------------------------------------------------------

TJvImage::TJvImage(const QString& objectName, const QString& picture, QWidget* parent)
    : QLabel(parent) {
    setObjectName(objectName);
    const QPixmap pixmap = Skin::Picture(picture);
    setPixmap(pixmap);
    setFixedSize(pixmap.size());
}

void TJvImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

// ---- TJvxSlider ---------------------------------------------------------------------------

TJvxSlider::TJvxSlider(const QString& objectName, const QString& thumb, const QColor& fill,
                       QWidget* parent)
    : QAbstractSlider(parent), thumb_(Skin::Picture(thumb)),
      thumbFocus_(Skin::Picture(thumb + QStringLiteral("_focus"))), fill_(fill) {
    setObjectName(objectName);
    setOrientation(Qt::Horizontal);
    setRange(0, 255);
    setSingleStep(1);
    setPageStep(16);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractSlider::valueChanged, this, [this](int v) {
        update();
        if (!silent_) {
            emit userChanged(v);
        }
    });
}

void TJvxSlider::SetPosition(int value) {
    silent_ = true;
    setValue(value);
    silent_ = false;
}

QSize TJvxSlider::sizeHint() const {
    return {557, 30};
}

QRect TJvxSlider::GrooveRect() const {
    const int half = thumb_.width() / 2;
    return QRect(half, height() / 2 - 3, width() - 2 * half, 6);
}

int TJvxSlider::ThumbLeft() const {
    const int span = width() - thumb_.width();
    return QStyle::sliderPositionFromValue(minimum(), maximum(), value(), span);
}

int TJvxSlider::ValueAt(int x) const {
    const int span = width() - thumb_.width();
    return QStyle::sliderValueFromPosition(minimum(), maximum(), x - thumb_.width() / 2, span);
}

void TJvxSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF groove = GrooveRect();
    p.setPen(QPen(QColor(0x7E, 0x97, 0x20), 1));
    p.setBrush(QColor(0xF4, 0xF8, 0xDC));
    p.drawRoundedRect(groove.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    const int left = ThumbLeft();
    QRectF filled = groove.adjusted(1, 1, -1, -1);
    filled.setRight(left + thumb_.width() / 2.0);
    QColor fill = fill_;
    if (!isEnabled()) {
        fill = QColor(0xA9, 0xB7, 0x7A);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(filled, 2, 2);
    const QPixmap& thumb = hasFocus() ? thumbFocus_ : thumb_;
    p.drawPixmap(left, (height() - thumb.height()) / 2, thumb);
}

void TJvxSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setSliderDown(true);
    setValue(ValueAt(int(event->position().x())));
    event->accept();
}

void TJvxSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    setValue(ValueAt(int(event->position().x())));
    event->accept();
}

void TJvxSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setSliderDown(false);
    }
    event->accept();
}
