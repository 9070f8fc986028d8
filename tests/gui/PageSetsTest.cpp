// The tracker parameters page against the simulated tracker: automatic read, clamping, the write
// and what reaches the tracker's EEPROM, the disabled states and the failed fresh read.
#include "ui/PageSets.h"
#include "GuiTestSupport.h"
#include "core/CplData.h"
#include "devicelink/ParamBlock.h"
#include "sim/SimHid.h"
#include "ui/CplMain.h"
#include "ui/GuiView.h"
#include "ui/SkinWidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using guitest::WaitFor;

class SetsPage : public ::testing::Test {
protected:
    void Start(const QString& config = guitest::ConfigWithReadSettings(2, 20),
               std::function<void(sim::SimHidController&)> prepare = {}) {
        TStartOptions options;
        options.PrepareSimulator = std::move(prepare);
        running = guitest::StartApp(std::move(options), config);
        ASSERT_NE(App().Core(), nullptr);
        page = App().View()->Sets();
        ASSERT_NE(page, nullptr);
        sim = App().Simulator();
        ASSERT_NE(sim, nullptr);
    }
    TQuivraApp& App() { return *running.app; }
    TDmTrackCpl& Core() { return *App().Core(); }
    QLineEdit* Edit(const char* name) {
        return page->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    bool AllEnabled() const {
        const auto inputs = page->Inputs();
        return std::all_of(inputs.begin(), inputs.end(),
                           [](QWidget* w) { return w->isEnabled(); }) &&
               page->JvBtn_YNQ_Get_EEPROM->isEnabled() && page->JvBtn_YNQ_Set_EEPROM->isEnabled();
    }
    bool AllDisabled() const {
        const auto inputs = page->Inputs();
        return std::none_of(inputs.begin(), inputs.end(),
                            [](QWidget* w) { return w->isEnabled(); }) &&
               !page->JvBtn_YNQ_Get_EEPROM->isEnabled() && !page->JvBtn_YNQ_Set_EEPROM->isEnabled();
    }
    int LongWrites() const {
        int n = 0;
        for (const sim::WireRecord& r : sim->wire()) {
            if (r.kind == sim::WireRecord::Kind::Set && r.device == QStringLiteral("tracker") &&
                r.bytes.size() > 2 && uint8_t(r.bytes[1]) == 0xA5 && uint8_t(r.bytes[2]) == 0x87) {
                ++n;
            }
        }
        return n;
    }
    // The automatic read, as JvTimer1 does it on its next tick.
    void AutoRead() {
        page->JvTimer1Timer();
        ASSERT_TRUE(WaitFor([this] { return AllEnabled(); }, 10000));
    }

    guitest::RunningApp running;
    TfmnoxQuivraCplSets* page = nullptr;
    sim::SimHidController* sim = nullptr;
};

TEST_F(SetsPage, LayoutAndSizes) {
    Start();
    EXPECT_EQ(page->size(), QSize(750, 317));
    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"YNQ_CMN_rotate", {670, 36, 41, 21}}, {"YNQ_CMN_dbx", {503, 63, 41, 21}},
        {"YNQ_CMN_dby", {583, 63, 41, 21}},    {"YNQ_CMN_ratio", {671, 63, 41, 21}},
        {"YNQ_PA1_flt", {360, 148, 51, 21}},   {"YNQ_PA2_flt", {360, 173, 51, 21}},
        {"YNQ_PA1_kdl", {417, 148, 51, 21}},   {"YNQ_PA1_kdh", {474, 148, 51, 21}},
        {"YNQ_LA1_dzl", {531, 148, 51, 21}},   {"YNQ_LA2_dzh", {588, 173, 51, 21}},
        {"YNQ_LA2_prcs", {645, 173, 51, 21}},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        QWidget* w = page->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), p.rect);
    }
    EXPECT_EQ(page->YNQ_CMN_mode->pos(), QPoint(366, 36));
    EXPECT_EQ(page->YNQ_CMN_mode->width(), 88);
    // The grid's row labels and column titles.
    struct Label {
        const char* name;
        const char* text;
        QPoint at;
    };
    const Label labels[] = {
        {"lbAxisX", "Ось Х:", {311, 151}}, {"lbAxisY", "Ось Y:", {311, 176}},
        {"lbFlt", "Фильтр", {360, 129}},   {"lbKdl", "KD L", {417, 129}},
        {"lbKdh", "Kd H", {474, 129}},     {"lbDzl", "DZ L", {531, 129}},
        {"lbDzh", "DZ H", {588, 129}},     {"lbPrcs", "Prcs", {645, 129}},
    };
    for (const Label& l : labels) {
        SCOPED_TRACE(l.name);
        auto* label = page->findChild<QLabel*>(QString::fromLatin1(l.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
        EXPECT_EQ(label->pos(), l.at);
    }
    EXPECT_EQ(page->YNQ_CMN_ddz->pos(), QPoint(310, 61));
    EXPECT_EQ(page->YNQ_CMN_ddz->width(), 153);
    EXPECT_EQ(page->JvBtn_YNQ_Get_EEPROM->geometry(), QRect(361, 215, 177, 30));
    EXPECT_EQ(page->JvBtn_YNQ_Set_EEPROM->geometry(), QRect(544, 215, 177, 30));
    EXPECT_EQ(page->JvBtn_YNQ_Get_EEPROM->text(), QStringLiteral("Считать параметры"));
    EXPECT_EQ(page->JvBtn_YNQ_Set_EEPROM->text(), QStringLiteral("Записать параметры"));
    EXPECT_EQ(
        page->YNQ_CMN_ratio->toolTip(),
        QStringLiteral("коэффициент сжатия DBX/DBY к краю (100 - не уменьшается, 50 - пополам)"));
    EXPECT_EQ(page->YNQ_CMN_ddz->toolTip(), QStringLiteral("Мертвая зона"));
    EXPECT_EQ(page->YNQ_CMN_mode->itemText(1), QStringLiteral("Хатка"));
    EXPECT_EQ(page->YNQ_CMN_ddz->itemText(1), QStringLiteral("Динамическая МЗ включена."));
    EXPECT_EQ(page->JvTimer1.interval(), 2500);
    EXPECT_TRUE(page->JvTimer1.isActive());

    // Tab order: the eighteen inputs as listed, then the two buttons.
    const std::vector<QWidget*> inputs = page->Inputs();
    ASSERT_EQ(inputs.size(), 18u);
    const auto fields = ynq::EditableFields();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(inputs[i]->objectName().toStdString(), std::string(fields[i].name));
        QWidget* next = inputs[i]->nextInFocusChain();
        while (next && next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        QWidget* expected = i + 1 < inputs.size() ? inputs[i + 1] : page->JvBtn_YNQ_Get_EEPROM;
        EXPECT_EQ(next, expected) << inputs[i]->objectName().toStdString();
    }
}

TEST_F(SetsPage, DisabledUntilTheAutomaticReadThenShowsTheBlock) {
    Start();
    EXPECT_TRUE(AllDisabled());
    ASSERT_TRUE(Core().Track_Need_Read);
    AutoRead();
    EXPECT_FALSE(Core().Track_Need_Read);
    const ynq::TrackerParams expected = ynq::DecodeParams(sim->tracker().eeprom, std::nullopt);
    EXPECT_EQ(page->YNQ_CMN_rotate->text(), QString::number(expected.rotate));
    EXPECT_EQ(page->YNQ_LA1_prcs->text(), QString::number(expected.la1Prcs));
    EXPECT_EQ(page->YNQ_PA2_kdl->text(), QString::number(expected.pa2Kdl));
    EXPECT_EQ(page->YNQ_CMN_ddz->currentIndex(), expected.ddz.value_or(-1));
    EXPECT_EQ(page->YNQ_CMN_mode->currentIndex(), expected.mode.value_or(-1));
    App().MainWindow()->show();
    App().MainWindow()->JvImageSetsClick();
    EXPECT_FALSE(
        guitest::SaveScreenshot(*App().MainWindow(), QStringLiteral("main_sets_page")).isEmpty());
}

TEST_F(SetsPage, WriteClampsTheTextsAndTheEepromHoldsTheEncodedBlock) {
    Start();
    AutoRead();
    const std::array<uint8_t, 124> before = sim->tracker().eeprom;
    sim->clearWire();

    page->YNQ_CMN_rotate->setText(QStringLiteral("400"));
    page->YNQ_LA1_prcs->setText(QStringLiteral("3"));
    page->YNQ_LA2_prcs->setText(QString());
    page->YNQ_LA1_dzl->setText(QStringLiteral("-5"));
    page->YNQ_PA1_kdh->setText(QString());
    page->YNQ_PA1_flt->setText(QStringLiteral("9"));
    page->YNQ_CMN_dbx->setText(QStringLiteral("77"));
    page->YNQ_CMN_mode->setCurrentIndex(1);
    page->YNQ_CMN_ddz->setCurrentIndex(1);

    // The transfer's waits process events: sample the page while the write goes out. The fields
    // are disabled before the first frame of the write leaves.
    int samplesDuringWrite = 0;
    bool enabledDuringWrite = false;
    QTimer sampler;
    sampler.setInterval(1);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (LongWrites() > 0) {
            ++samplesDuringWrite;
            enabledDuringWrite = enabledDuringWrite || !AllDisabled();
        }
    });
    sampler.start();
    QTest::mouseClick(page->JvBtn_YNQ_Set_EEPROM, Qt::LeftButton);
    sampler.stop();
    EXPECT_GT(samplesDuringWrite, 0);
    EXPECT_FALSE(enabledDuringWrite) << "disabled before the write";
    // The clamped texts are what the user sees.
    EXPECT_EQ(page->YNQ_CMN_rotate->text(), QStringLiteral("360"));
    EXPECT_EQ(page->YNQ_LA1_prcs->text(), QStringLiteral("8"));
    EXPECT_EQ(page->YNQ_LA2_prcs->text(), QStringLiteral("8"));
    EXPECT_EQ(page->YNQ_LA1_dzl->text(), QStringLiteral("0"));
    EXPECT_EQ(page->YNQ_PA1_kdh->text(), QString()) << "an empty field keeps its text";
    EXPECT_EQ(page->YNQ_PA1_flt->text(), QStringLiteral("7"));
    ASSERT_TRUE(WaitFor([this] { return LongWrites() > 0; }, 10000));
    EXPECT_TRUE(AllDisabled());

    ynq::TrackerParams expected = ynq::DecodeParams(before, std::nullopt);
    expected.mode = 1;
    expected.ddz = 1;
    expected.rotate = 360; // stored as the equivalent 0
    expected.la1Prcs = 8;
    expected.la2Prcs = 8;
    expected.la1Dzl = 0;
    expected.pa1Kdh = 0;
    expected.pa1Flt = 7;
    expected.dbx = 77;
    std::array<uint8_t, 124> encoded = before;
    ynq::EncodeParams(expected, encoded);
    ASSERT_TRUE(WaitFor([&] { return sim->tracker().eeprom == encoded; }, 5000));
    EXPECT_EQ(sim->tracker().eeprom[5], 0x00);
    EXPECT_EQ(sim->tracker().eeprom[6], 0x00);
    EXPECT_EQ(sim->tracker().eeprom[4] & 0x07, 2) << "Хатка is code 2";

    // Disabled until the tracker has been found again and the automatic read ran.
    page->JvTimer1Timer();
    EXPECT_TRUE(AllDisabled());
    Core().Track_Need_Read = true; // what the next device scan sets
    AutoRead();
    EXPECT_EQ(page->YNQ_CMN_rotate->text(), QStringLiteral("0"));
    EXPECT_EQ(page->YNQ_LA1_prcs->text(), QStringLiteral("8"));
}

TEST_F(SetsPage, RotationsBeyondTheFieldAreStoredAsTheirEquivalent) {
    Start();
    struct Case {
        const char* entered;
        int readBack;
    };
    for (const Case c : {Case{"270", -90}, Case{"-300", 60}, Case{"229", 229}, Case{"-360", 0}}) {
        SCOPED_TRACE(c.entered);
        AutoRead();
        page->YNQ_CMN_rotate->setText(QString::fromLatin1(c.entered));
        const int writes = LongWrites();
        page->JvBtn_YNQ_Set_EEPROMClick();
        ASSERT_TRUE(WaitFor([&] { return LongWrites() > writes; }, 10000));
        Core().Track_Need_Read = true;
        AutoRead();
        EXPECT_EQ(page->YNQ_CMN_rotate->text(), QString::number(c.readBack));
    }
}

TEST_F(SetsPage, EmptyDeadZoneSelectorChangesNoBitOfByte3) {
    Start();
    sim->tracker().eeprom[3] = 0xA5; // bit 5 set, others mixed
    Core().Track_Need_Read = true;
    AutoRead();
    EXPECT_EQ(page->YNQ_CMN_ddz->currentIndex(), 1);
    page->YNQ_CMN_ddz->setCurrentIndex(-1);
    page->JvBtn_YNQ_Set_EEPROMClick();
    ASSERT_TRUE(WaitFor([&] { return LongWrites() > 0; }, 10000));
    EXPECT_EQ(sim->tracker().eeprom[3], 0xA5);
}

TEST_F(SetsPage, FailedFreshReadShowsTheErrorAndWritesNothing) {
    Start();
    AutoRead();
    page->YNQ_CMN_dbx->setText(QStringLiteral("12"));
    const std::array<uint8_t, 124> before = sim->tracker().eeprom;
    sim->clearWire();
    sim->faults().wrongCrc = -1; // every long-read chunk arrives damaged
    guitest::ModalAnswerer answerer;
    page->JvBtn_YNQ_Set_EEPROMClick();
    ASSERT_TRUE(WaitFor([&] { return !answerer.texts.isEmpty(); }, 10000));
    guitest::Pump(300);
    EXPECT_TRUE(answerer.texts.first().startsWith(QStringLiteral("Ошибка чтения параметров [")));
    EXPECT_EQ(LongWrites(), 0) << "a cleared or partial block must never reach the EEPROM";
    EXPECT_EQ(sim->tracker().eeprom, before);
    EXPECT_EQ(page->YNQ_CMN_dbx->text(), QStringLiteral("12")) << "the entries stay";
    EXPECT_TRUE(AllEnabled()) << "the user can try again";

    sim->faults().wrongCrc = 0;
    page->JvBtn_YNQ_Set_EEPROMClick();
    ASSERT_TRUE(WaitFor([&] { return LongWrites() > 0; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return sim->tracker().eeprom[7] == 12; }, 5000));
}

TEST_F(SetsPage, FailedReadShowsTheClearedBlockEnabled) {
    Start();
    sim->faults().getFails = -1;
    guitest::ModalAnswerer answerer;
    page->JvBtn_YNQ_Get_EEPROMClick();
    ASSERT_TRUE(WaitFor([&] { return !answerer.texts.isEmpty() && AllEnabled(); }, 10000));
    EXPECT_TRUE(answerer.texts.first().startsWith(QStringLiteral("Ошибка чтения параметров [")));
    EXPECT_EQ(page->YNQ_LA1_prcs->text(), QStringLiteral("0")); // the cleared block
    EXPECT_EQ(page->YNQ_CMN_rotate->text(), QStringLiteral("0"));
}

TEST_F(SetsPage, WithoutTheIndicatorThePageStaysDisabledAndNeverReads) {
    Start(guitest::ConfigWithReadSettings(2, 20),
          [](sim::SimHidController& s) { s.plugIndicator(false); });
    ASSERT_TRUE(WaitFor([this] { return Core().SrcHid == nullptr; }, 5000));
    sim->clearWire();
    for (int i = 0; i < 3; ++i) {
        page->JvTimer1Timer();
    }
    EXPECT_TRUE(AllDisabled());
    for (const sim::WireRecord& r : sim->wire()) {
        EXPECT_FALSE(r.bytes.size() > 2 && uint8_t(r.bytes[2]) == 0xC5) << "no parameter read";
    }
}

TEST_F(SetsPage, LettersNeverGetIntoTheFields) {
    Start();
    AutoRead();
    page->YNQ_CMN_ratio->clear();
    QTest::keyClicks(page->YNQ_CMN_ratio, QStringLiteral("5x0%"));
    EXPECT_EQ(page->YNQ_CMN_ratio->text(), QStringLiteral("50"));
    page->YNQ_CMN_ratio->clear();
    page->YNQ_CMN_ratio->insert(QStringLiteral("12345"));
    EXPECT_EQ(page->YNQ_CMN_ratio->text(), QStringLiteral("1234")) << "at most four characters";
}

} // namespace
