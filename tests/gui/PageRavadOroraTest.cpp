// The indicator page: colour rules of the value labels, the orientation angles, the brightness
// sliders, and the LED tests against the simulated indicator.
#include "ui/PageRavadOrora.h"
#include "GuiTestSupport.h"
#include "core/CplData.h"
#include "sim/SimHid.h"
#include "ui/CplMain.h"
#include "ui/GuiView.h"
#include "ui/Skin.h"
#include "ui/SkinWidgets.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using guitest::WaitFor;
using Page = TfmnoxQuivraCplRavadOrora;

TEST(IndicatorColours, AxisBlueWithin2000OfTheCentreElseBlack) {
    struct Case {
        int value;
        unsigned colour;
    };
    for (const Case c :
         {Case{32767, Skin::kBlue}, Case{34767, Skin::kBlue}, Case{30767, Skin::kBlue},
          Case{34768, Skin::kBlack}, Case{30766, Skin::kBlack}, Case{0, Skin::kBlack},
          Case{65535, Skin::kBlack}, Case{std::numeric_limits<int>::min(), Skin::kBlack},
          Case{std::numeric_limits<int>::max(), Skin::kBlack}}) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Page::AxisColour(c.value), c.colour);
    }
}

TEST(IndicatorColours, HistogramRedBelow100) {
    EXPECT_EQ(Page::HistoColour(0), Skin::kRed);
    EXPECT_EQ(Page::HistoColour(99), Skin::kRed);
    EXPECT_EQ(Page::HistoColour(100), Skin::kBlue);
    EXPECT_EQ(Page::HistoColour(12345), Skin::kBlue);
    EXPECT_EQ(Skin::FormColour(Skin::kRed), QColor(255, 0, 0));
    EXPECT_EQ(Skin::FormColour(Skin::kBlue), QColor(0, 0, 255));
    EXPECT_EQ(Skin::FormColour(Skin::kBackgroundColour), QColor(0xC1, 0xDD, 0x38));
}

TEST(IndicatorAngles, AxisRangeMapsOntoTheSphere) {
    EXPECT_FLOAT_EQ(Page::AnglesFor(0, 0).AngleZ, -180.0f);
    EXPECT_FLOAT_EQ(Page::AnglesFor(65535, 0).AngleZ, 180.0f);
    EXPECT_FLOAT_EQ(Page::AnglesFor(0, 0).AngleX, -90.0f);
    EXPECT_FLOAT_EQ(Page::AnglesFor(0, 65535).AngleX, 90.0f);
    EXPECT_NEAR(Page::AnglesFor(0, 32767).AngleX, -0.0014f, 0.0001f);
}

class IndicatorPage : public ::testing::Test {
protected:
    void SetUp() override {
        running = guitest::StartApp();
        page = running.app->View()->RavadOrora();
        ASSERT_NE(page, nullptr);
        sim = running.app->Simulator();
        core = running.app->Core();
    }
    static QColor Colour(QLabel* l) { return l->palette().color(QPalette::WindowText); }

    guitest::RunningApp running;
    Page* page = nullptr;
    sim::SimHidController* sim = nullptr;
    TDmTrackCpl* core = nullptr;
};

TEST_F(IndicatorPage, LayoutAndTexts) {
    EXPECT_EQ(page->JvLabel1->pos(), QPoint(52, 15));
    EXPECT_EQ(page->JvLabel1->text(), QStringLiteral("Индикатор"));
    EXPECT_EQ(page->JvLabel2->text(), QStringLiteral("Трекер"));
    EXPECT_EQ(page->JvxSliderBlue->geometry(), QRect(52, 55, 557, 30));
    EXPECT_EQ(page->JvxSliderRed->geometry(), QRect(52, 94, 557, 30));
    EXPECT_EQ(page->JvxSliderIR->geometry(), QRect(52, 133, 557, 30));
    EXPECT_EQ(page->JvBtnTestBlue->geometry(), QRect(631, 55, 80, 30));
    EXPECT_EQ(page->JvBtnTestRed->geometry(), QRect(631, 91, 80, 30));
    EXPECT_EQ(page->JvBtnTestIR->geometry(), QRect(631, 127, 80, 30));
    for (QWidget* b :
         {static_cast<QWidget*>(page->JvBtnTestBlue), static_cast<QWidget*>(page->JvBtnTestIR)}) {
        EXPECT_EQ(static_cast<TJvImgBtn*>(b)->text(), QStringLiteral("Тест"));
    }
    EXPECT_EQ(page->JvLabel3->pos(), QPoint(52, 229));
    EXPECT_EQ(page->lbX->pos(), QPoint(101, 229));
    EXPECT_EQ(page->lbY->pos(), QPoint(101, 258));
    EXPECT_EQ(page->JvLabel5->pos(), QPoint(185, 229));
    EXPECT_EQ(page->lbHis->pos(), QPoint(231, 229));
    EXPECT_EQ(page->JvLabel3->text(), QStringLiteral("Ось Х:"));
    EXPECT_EQ(page->JvLabel5->text(), QStringLiteral("Хисто"));
    // Tab order red, blue, infrared.
    EXPECT_EQ(page->JvxSliderRed->nextInFocusChain(), page->JvxSliderBlue);
    EXPECT_EQ(page->JvxSliderBlue->nextInFocusChain(), page->JvxSliderIR);
}

TEST_F(IndicatorPage, ValueLabelsFollowTheirRules) {
    page->SetLbAxis(32767, 40000);
    EXPECT_EQ(page->lbX->text(), QStringLiteral("32767"));
    EXPECT_EQ(page->lbY->text(), QStringLiteral("40000"));
    EXPECT_EQ(Colour(page->lbX), QColor(0, 0, 255));
    EXPECT_EQ(Colour(page->lbY), QColor(0, 0, 0));
    page->SetLbAxisOff();
    EXPECT_EQ(page->lbX->text(), QStringLiteral("--/--"));
    EXPECT_EQ(page->lbY->text(), QStringLiteral("--/--"));
    EXPECT_EQ(Colour(page->lbX), QColor(0, 0, 255)) << "colours stay";
    page->SetLbHisto(99);
    EXPECT_EQ(Colour(page->lbHis), QColor(255, 0, 0));
    page->SetLbHisto(100);
    EXPECT_EQ(Colour(page->lbHis), QColor(0, 0, 255));
    float z = 0, x = 0;
    page->OrientationView = [&](float angleZ, float angleX) {
        z = angleZ;
        x = angleX;
    };
    page->SetLbAxis(65535, 0);
    EXPECT_FLOAT_EQ(z, 180.0f);
    EXPECT_FLOAT_EQ(x, -90.0f);
}

TEST_F(IndicatorPage, HistogramOfTheTrackerShowsWhileThePageIsOnScreen) {
    running.app->MainWindow()->ShowApplication();
    running.app->MainWindow()->JvImageTrackClick();
    sim->tracker().histogram = 42;
    ASSERT_TRUE(WaitFor([this] { return page->lbHis->text() == QStringLiteral("42"); }));
    EXPECT_EQ(Colour(page->lbHis), QColor(255, 0, 0));
}

TEST_F(IndicatorPage, SlidersStartAtTheCoreValuesAndOnlyTheUserChangesThem) {
    EXPECT_EQ(page->JvxSliderBlue->value(), 255);
    EXPECT_EQ(page->JvxSliderRed->value(), 255);
    EXPECT_EQ(page->JvxSliderIR->value(), 125);
    EXPECT_FALSE(core->ProfileChanged());
    page->SetBrightnessSliders(10, 20, 30);
    EXPECT_EQ(core->BrightLedBlue, 255) << "setting from the program fires nothing";
    EXPECT_FALSE(core->ProfileChanged());

    running.app->MainWindow()->ShowApplication();
    running.app->MainWindow()->JvImageTrackClick();
    page->JvxSliderIR->setFocus();
    QTest::keyClick(page->JvxSliderIR, Qt::Key_Right);
    EXPECT_EQ(core->BrightLedIR, 31);
    EXPECT_TRUE(core->ProfileChanged());
    QTest::mouseClick(page->JvxSliderBlue, Qt::LeftButton, {}, QPoint(11, 15)); // the left end
    EXPECT_EQ(core->BrightLedBlue, 0);
    QTest::mouseClick(page->JvxSliderRed, Qt::LeftButton, {},
                      QPoint(557 - 11, 15)); // the right end
    EXPECT_EQ(core->BrightLedRed, 255);
}

TEST_F(IndicatorPage, LedTestsReachTheIndicator) {
    core->BrightLedBlue = 200;
    core->BrightLedIR = 0;
    // Blue: lit for a second, then the ready pattern.
    bool blueDuring = false;
    int blueLevel = -1;
    QTimer::singleShot(400, [&] {
        blueDuring = sim->indicator().blueOn;
        blueLevel = sim->indicator().blueLevel;
    });
    QTest::mouseClick(page->JvBtnTestBlue, Qt::LeftButton);
    EXPECT_TRUE(blueDuring);
    EXPECT_EQ(blueLevel, 200);
    EXPECT_EQ(sim->indicator().mask, 0x11) << "then the ready pattern: infrared, tracker off";

    // Red likewise.
    bool redDuring = false;
    QTimer::singleShot(400, [&] { redDuring = sim->indicator().redOn; });
    page->JvBtnTestRedClick();
    EXPECT_TRUE(redDuring);
    EXPECT_EQ(sim->indicator().mask, 0x11);

    // Infrared: stays as set, at the stored brightness, even 0.
    core->SetLedOff();
    page->JvBtnTestIRClick();
    EXPECT_EQ(sim->indicator().mask, 0x11);
    EXPECT_EQ(sim->indicator().irLevel, 0);
    core->BrightLedIR = 90;
    page->JvBtnTestIRClick();
    EXPECT_TRUE(sim->indicator().irOn);
    EXPECT_EQ(sim->indicator().irLevel, 90);
}

} // namespace
