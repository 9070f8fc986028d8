#include "PageRavadOrora.h"

#include "Skin.h"
#include "SkinWidgets.h"
#include "core/CplData.h"
#include "devicelink/Utils.h"

#include <QLabel>

#include <cstdlib>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at, int px,
                  bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(Skin::FormFont(px, bold));
    label->move(at);
    label->adjustSize();
    return label;
}

void SetColour(QLabel* label, unsigned bgr) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Skin::FormColour(bgr));
    label->setPalette(pal);
}

} // namespace

TfmnoxQuivraCplRavadOrora::TfmnoxQuivraCplRavadOrora(TDmTrackCpl& core, QWidget* parent)
    : QWidget(parent), core_(core) {
    setObjectName(QStringLiteral("fmnoxQuivraCplRavadOrora"));
    resize(763, 317);
    Skin::ApplyFormLook(*this);

    auto* leds = new QLabel(this);
    leds->setObjectName(QStringLiteral("JvImageLedsFrame"));
    leds->setPixmap(Skin::Picture(QStringLiteral("frame_leds")));
    leds->setGeometry(38, 41, 691, 130);
    auto* values = new QLabel(this);
    values->setObjectName(QStringLiteral("JvImageValuesFrame"));
    values->setPixmap(Skin::Picture(QStringLiteral("frame_values")));
    values->setGeometry(38, 208, 691, 83);

    JvLabel1 = MakeLabel(this, "JvLabel1", QStringLiteral("Индикатор"), {52, 15}, 15, true);

    // Created in tab order: red, blue, infrared.
    JvxSliderRed = new TJvxSlider(QStringLiteral("JvxSliderRed"), QStringLiteral("thumb_red"),
                                  QColor(0xF0, 0x33, 0x2A), this);
    JvxSliderRed->setGeometry(52, 94, 557, 30);
    JvxSliderBlue = new TJvxSlider(QStringLiteral("JvxSliderBlue"), QStringLiteral("thumb_blue"),
                                   QColor(0x2A, 0x7B, 0xFF), this);
    JvxSliderBlue->setGeometry(52, 55, 557, 30);
    JvxSliderIR = new TJvxSlider(QStringLiteral("JvxSliderIR"), QStringLiteral("thumb_ir"),
                                 QColor(0x8E, 0x1F, 0x6B), this);
    JvxSliderIR->setGeometry(52, 133, 557, 30);
    setTabOrder(JvxSliderRed, JvxSliderBlue);
    setTabOrder(JvxSliderBlue, JvxSliderIR);
    JvxSliderBlue->setToolTip(QStringLiteral("Синий"));
    JvxSliderRed->setToolTip(QStringLiteral("Красный"));
    JvxSliderIR->setToolTip(QStringLiteral("ИК"));

    const QString face = QStringLiteral("button_80x30");
    JvBtnTestBlue =
        new TJvImgBtn(QStringLiteral("JvBtnTestBlue"), QStringLiteral("Тест"), face, this);
    JvBtnTestBlue->move(631, 55);
    JvBtnTestRed =
        new TJvImgBtn(QStringLiteral("JvBtnTestRed"), QStringLiteral("Тест"), face, this);
    JvBtnTestRed->move(631, 91);
    JvBtnTestIR = new TJvImgBtn(QStringLiteral("JvBtnTestIR"), QStringLiteral("Тест"), face, this);
    JvBtnTestIR->move(631, 127);
    setTabOrder(JvxSliderIR, JvBtnTestBlue);
    setTabOrder(JvBtnTestBlue, JvBtnTestRed);
    setTabOrder(JvBtnTestRed, JvBtnTestIR);

    JvLabel2 = MakeLabel(this, "JvLabel2", QStringLiteral("Трекер"), {52, 184}, 15, true);
    JvLabel3 = MakeLabel(this, "JvLabel3", QStringLiteral("Ось Х:"), {52, 229}, 13, false);
    JvLabel4 = MakeLabel(this, "JvLabel4", QStringLiteral("Ось Y:"), {52, 258}, 13, false);
    JvLabel5 = MakeLabel(this, "JvLabel5", QStringLiteral("Хисто"), {185, 229}, 13, false);
    lbX = MakeLabel(this, "lbX", QString(), {101, 229}, 13, true);
    lbY = MakeLabel(this, "lbY", QString(), {101, 258}, 13, true);
    lbHis = MakeLabel(this, "lbHis", QString(), {231, 229}, 13, true);
    for (QLabel* value : {lbX, lbY, lbHis}) {
        value->resize(70, value->height());
    }

    connect(JvxSliderBlue, &TJvxSlider::userChanged, this, [this](int v) {
        BrightnessChanged(&TDmTrackCpl::BrightLedBlue, v, "JvxSliderBlueChanged");
    });
    connect(JvxSliderRed, &TJvxSlider::userChanged, this, [this](int v) {
        BrightnessChanged(&TDmTrackCpl::BrightLedRed, v, "JvxSliderRedChanged");
    });
    connect(JvxSliderIR, &TJvxSlider::userChanged, this, [this](int v) {
        BrightnessChanged(&TDmTrackCpl::BrightLedIR, v, "JvxSliderIRChanged");
    });
    connect(JvBtnTestBlue, &TJvImgBtn::clicked, this, [this] { JvBtnTestBlueClick(); });
    connect(JvBtnTestRed, &TJvImgBtn::clicked, this, [this] { JvBtnTestRedClick(); });
    connect(JvBtnTestIR, &TJvImgBtn::clicked, this, [this] { JvBtnTestIRClick(); });

    FormCreate();
}

void TfmnoxQuivraCplRavadOrora::FormCreate() {
    // The value labels change up to a thousand times a second; Qt repaints only their own
    // rectangles, so they need no opaque flag of their own.
    core_.RavadOroraTest.TestMode = false;
}

void TfmnoxQuivraCplRavadOrora::BrightnessChanged(int TDmTrackCpl::*field, int value,
                                                  const char* handler) {
    core_.*field = value;
    core_.SetProfileChanged(true);
    core_.SaveProfile(false,
                      QStringLiteral("TfmnoxQuivraCplRavadOrora.") + QString::fromLatin1(handler));
}

void TfmnoxQuivraCplRavadOrora::SetBrightnessSliders(int blue, int red, int ir) {
    JvxSliderBlue->SetPosition(blue);
    JvxSliderRed->SetPosition(red);
    JvxSliderIR->SetPosition(ir);
}

unsigned TfmnoxQuivraCplRavadOrora::AxisColour(int value) {
    // In 64 bits, so that no int handed in can overflow the distance.
    return std::llabs(32767LL - value) <= 2000 ? Skin::kBlue : Skin::kBlack;
}

unsigned TfmnoxQuivraCplRavadOrora::HistoColour(int value) {
    return value < 100 ? Skin::kRed : Skin::kBlue;
}

void TfmnoxQuivraCplRavadOrora::SetLbAxis(int X, int Y) {
    lbX->setText(QString::number(X));
    SetColour(lbX, AxisColour(X));
    lbY->setText(QString::number(Y));
    SetColour(lbY, AxisColour(Y));
    if (OrientationView) {
        const OrientationAngles a = AnglesFor(X, Y);
        OrientationView(a.AngleZ, a.AngleX);
    }
}

TfmnoxQuivraCplRavadOrora::OrientationAngles TfmnoxQuivraCplRavadOrora::AnglesFor(int X, int Y) {
    return {float(X) / 65535.0f * 360.0f - 180.0f, float(Y) / 65535.0f * 180.0f - 90.0f};
}

void TfmnoxQuivraCplRavadOrora::SetLbAxisOff() {
    lbX->setText(QStringLiteral("--/--"));
    lbY->setText(QStringLiteral("--/--"));
}

void TfmnoxQuivraCplRavadOrora::SetLbHisto(int Value) {
    lbHis->setText(QString::number(Value));
    SetColour(lbHis, HistoColour(Value));
}

void TfmnoxQuivraCplRavadOrora::TrackerToTest(bool Force) {
    core_.RavadOroraTest.TrackerToTest(Force);
}

void TfmnoxQuivraCplRavadOrora::TrackerOffTest(bool Force) {
    core_.RavadOroraTest.TrackerOffTest(Force);
}

void TfmnoxQuivraCplRavadOrora::JvBtnTestBlueClick() {
    core_.SetLedBlue(true);
    YnqUtils::Delay(1000);
    core_.ReadyBlick(true);
}

void TfmnoxQuivraCplRavadOrora::JvBtnTestRedClick() {
    core_.SetLedRed(true);
    YnqUtils::Delay(1000);
    core_.ReadyBlick(true);
}

void TfmnoxQuivraCplRavadOrora::JvBtnTestIRClick() {
    core_.SetLedIr(true);
}
