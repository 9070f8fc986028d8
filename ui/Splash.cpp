#include "Splash.h"

#include "Skin.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QScreen>

TfmnoxSplash::TfmnoxSplash(QWidget* parent, int pictureDraw)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("fmnoxSplash"));
    setWindowTitle(QStringLiteral("Quivra Control Center"));
    setFixedSize(683, 423);
    Skin::ApplyFormLook(*this);

    Splash_img1 = new QLabel(this);
    Splash_img1->setObjectName(QStringLiteral("Splash_img1"));
    Splash_img1->setPixmap(Skin::Picture(QStringLiteral("splash1")));
    Splash_img1->setGeometry(rect());
    Splash_img2 = new QLabel(this);
    Splash_img2->setObjectName(QStringLiteral("Splash_img2"));
    Splash_img2->setPixmap(Skin::Picture(QStringLiteral("splash2")));
    Splash_img2->setGeometry(rect()); // lies above the first

    JvLabel2 = new QLabel(this);
    JvLabel2->setObjectName(QStringLiteral("JvLabel2"));
    JvLabel2->setGeometry(272, 239, 217, 33);
    JvLabel2->setFont(Skin::FormFont(21, true));
    JvLabel2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    JvLabel2->setStyleSheet(QStringLiteral("color: #1F3A08;"));

    JvXPProgressBar1 = new QProgressBar(this);
    JvXPProgressBar1->setObjectName(QStringLiteral("JvXPProgressBar1"));
    JvXPProgressBar1->setGeometry(224, 288, 265, 33);
    JvXPProgressBar1->setRange(1, 100);
    JvXPProgressBar1->setTextVisible(false);

    FormCreate(pictureDraw);
}

void TfmnoxSplash::FormCreate(int pictureDraw) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    const int draw = pictureDraw >= 0 ? pictureDraw : QRandomGenerator::global()->bounded(100);
    if (draw > 50) {
        Splash_img1->hide();
    } else {
        Splash_img2->hide();
    }
}

void TfmnoxSplash::SplashLogMessage(int S) {
    JvLabel2->setText(QStringLiteral("Загрузка %1%").arg(S));
    JvXPProgressBar1->setValue(S);
}

void TfmnoxSplash::ShowProgress(int S) {
    SplashLogMessage(S);
    show();
    repaint();
    // Let the window system map and expose the window; input stays queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
