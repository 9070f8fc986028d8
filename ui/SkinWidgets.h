#pragma once
// The skinned components the forms are built from: a picture button with a caption, a picture
// that can be clicked, and the brightness slider whose thumb picture marks its LED.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QPixmap>
#include <QString>

// A push button drawn from four pictures "<face>_normal|hover|down|disabled" with its caption
// centred on them, and a hand cursor.
class TJvImgBtn : public QAbstractButton {
    Q_OBJECT
public:
    // `face` names the picture set, e.g. "button_145x35"; the button takes the pictures' size.
    TJvImgBtn(const QString& objectName, const QString& caption, const QString& face,
              QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap normal_, hover_, down_, disabled_;
    bool hovered_ = false;
};

// A picture that reports left clicks (the navigation images, the lamp, the logo).
class TJvImage : public QLabel {
    Q_OBJECT
public:
    TJvImage(const QString& objectName, const QString& picture, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Horizontal slider 0..255 drawn as a groove with a coloured fill and a thumb picture.
// userChanged() fires only when the user moved it (mouse, keys, wheel); SetPosition() from the
// program is silent.
class TJvxSlider : public QAbstractSlider {
    Q_OBJECT
public:
    // `thumb` names the thumb pictures ("thumb_blue" and "thumb_blue_focus"); `fill` is the
    // groove's colour left of the thumb.
    TJvxSlider(const QString& objectName, const QString& thumb, const QColor& fill,
               QWidget* parent);

    void SetPosition(int value);
    QSize sizeHint() const override;

signals:
    void userChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int ValueAt(int x) const;
    QRect GrooveRect() const;
    int ThumbLeft() const;

    QPixmap thumb_, thumbFocus_;
    QColor fill_;
    bool silent_ = false;
};
