#pragma once
// TfmnoxQuivraCplRavadOrora, the indicator page: brightness and tests of the indicator's three
// LEDs, and the tracker's live values (axes and histogram). Its test mode lives in the core
// (TIndicatorTestMode); TrackerToTest / TrackerOffTest delegate there.

#include <QWidget>

#include <functional>

class QLabel;
class TDmTrackCpl;
class TJvImgBtn;
class TJvxSlider;

class TfmnoxQuivraCplRavadOrora : public QWidget {
    Q_OBJECT
public:
    // The core is not owned and must outlive the page.
    explicit TfmnoxQuivraCplRavadOrora(TDmTrackCpl& core, QWidget* parent = nullptr);

    // Display operations; they work whether or not the page is shown.
    void SetLbAxis(int X, int Y);
    void SetLbAxisOff();
    void SetLbHisto(int Value);

    // Slider positions from the core's values, once at start-up; fires no change handler.
    void SetBrightnessSliders(int blue, int red, int ir);

    void TrackerToTest(bool Force);
    void TrackerOffTest(bool Force);

    void JvBtnTestBlueClick();
    void JvBtnTestRedClick();
    void JvBtnTestIRClick();

    QLabel* JvLabel1 = nullptr;
    TJvxSlider* JvxSliderBlue = nullptr;
    TJvxSlider* JvxSliderRed = nullptr;
    TJvxSlider* JvxSliderIR = nullptr;
    TJvImgBtn* JvBtnTestBlue = nullptr;
    TJvImgBtn* JvBtnTestRed = nullptr;
    TJvImgBtn* JvBtnTestIR = nullptr;
    QLabel* JvLabel2 = nullptr;
    QLabel* JvLabel3 = nullptr;
    QLabel* lbX = nullptr;
    QLabel* JvLabel4 = nullptr;
    QLabel* lbY = nullptr;
    QLabel* JvLabel5 = nullptr;
    QLabel* lbHis = nullptr;

    // The orientation view's angles for axis values 0..65535 (centre 32767), in degrees.
    struct OrientationAngles {
        float AngleZ;
        float AngleX;
    };
    static OrientationAngles AnglesFor(int X, int Y);
    // Set by the orientation view when it exists: SetLbAxis hands it AngleZ and AngleX.
    std::function<void(float AngleZ, float AngleX)> OrientationView;

    // Colour rules of the value labels (form colour values, red in the low byte).
    static unsigned AxisColour(int value);
    static unsigned HistoColour(int value);

private:
    void FormCreate();
    void BrightnessChanged(int TDmTrackCpl::*field, int value, const char* handler);

    TDmTrackCpl& core_;
};
