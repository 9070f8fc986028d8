#pragma once
// TfmnoxSplash: the start-up window with the loading progress.

#include <QWidget>

class QLabel;
class QProgressBar;

class TfmnoxSplash : public QWidget {
    Q_OBJECT
public:
    // Borderless, 683 x 423, centred on the screen; one of its two pictures is chosen at random
    // (the first with probability 51 %). `pictureDraw` replaces the random draw 0..99 (tests).
    explicit TfmnoxSplash(QWidget* parent = nullptr, int pictureDraw = -1);

    // "Загрузка <S>%" and the progress bar at S.
    void SplashLogMessage(int S);

    // SplashLogMessage, then show and paint at once: no event loop runs during start-up.
    void ShowProgress(int S);

    QLabel* JvLabel2 = nullptr;
    QProgressBar* JvXPProgressBar1 = nullptr;
    QLabel* Splash_img1 = nullptr;
    QLabel* Splash_img2 = nullptr;

private:
    void FormCreate(int pictureDraw);
};
