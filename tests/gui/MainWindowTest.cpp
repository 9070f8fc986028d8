// The main window in-process with the simulated devices: layout, navigation rules, the indicator
// test mode wiring, hiding and closing, tray menu, autostart, and the no-tray fallback (the
// offscreen platform has no tray).
#include "GuiTestSupport.h"
#include "core/CplData.h"
#include "platform/desktop/GlobalHotkeys.h"
#include "sim/SimHid.h"
#include "ui/ApplicationHotKey.h"
#include "ui/CplMain.h"
#include "ui/GuiView.h"
#include "ui/PagePlaceholders.h"
#include "ui/PageRavadOrora.h"
#include "ui/PageSets.h"
#include "ui/SimPanel.h"
#include "ui/SkinWidgets.h"
#include "ui/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

using guitest::WaitFor;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        running = guitest::StartApp();
        main = App().MainWindow();
        ASSERT_NE(main, nullptr);
        sim = App().Simulator();
        ASSERT_NE(sim, nullptr);
    }
    TQuivraApp& App() { return *running.app; }
    TDmTrackCpl& Core() { return *App().Core(); }

    guitest::RunningApp running;
    TfmnoxQuivraCplMain* main = nullptr;
    sim::SimHidController* sim = nullptr;
};

TEST_F(MainWindow, LayoutAndSizes) {
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quivra Control Center"));
    EXPECT_EQ(main->size(), QSize(763, 559));
    EXPECT_EQ(main->minimumSize(), main->maximumSize()) << "fixed size";
    EXPECT_FALSE(main->windowFlags() & Qt::WindowMaximizeButtonHint);
    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"PNPage", {0, 147, 763, 317}},           {"JvImageTrackerOn", {30, 25, 17, 17}},
        {"JvImageLogo", {539, 33, 189, 40}},      {"JvMbOk", {583, 496, 145, 35}},
        {"JvImageHotkey", {86, 106, 113, 43}},    {"JvImageHotkeyActive", {86, 106, 113, 43}},
        {"JvImageTrack", {205, 106, 113, 43}},    {"JvImageTrackActive", {205, 106, 113, 43}},
        {"JvImageSets", {324, 106, 113, 43}},     {"JvImageSetsActive", {324, 106, 113, 43}},
        {"JvImageAbout", {443, 106, 113, 43}},    {"JvImageAboutActive", {443, 106, 113, 43}},
        {"JvImageProfiles", {599, 106, 113, 43}}, {"JvImageProfilesActive", {599, 106, 113, 43}},
        {"JvBackground1", {0, 0, 763, 559}},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        auto* w = main->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), p.rect);
    }
    EXPECT_EQ(main->JvCheckBox1->pos(), QPoint(30, 504));
    EXPECT_EQ(main->JvCheckBox1->text(), QStringLiteral("Автозапуск программы"));
    EXPECT_EQ(main->JvMbOk->text(), QStringLiteral("Ок"));
    EXPECT_EQ(main->lbTracker->text(), QStringLiteral("Трекер:"));
    EXPECT_EQ(main->lbIndicator->text(), QStringLiteral("Индикатор:"));
    EXPECT_EQ(main->lbTracker->y(), 26);
    EXPECT_EQ(main->lbIndicator->geometry().topLeft(), QPoint(30, 47));
    EXPECT_EQ(main->lbTrackerName->pos(), QPoint(103, 26));
    EXPECT_EQ(main->lbIndicatorName->pos(), QPoint(103, 47));
    EXPECT_EQ(main->JvImageLogo->toolTip(), QString::fromLatin1(kMakerSite));
    // The pages fill the panel whatever their own size.
    EXPECT_EQ(App().View()->RavadOrora()->geometry(), QRect(0, 0, 763, 317));
    EXPECT_EQ(App().View()->Buttons()->size(), QSize(763, 317));
}

TEST_F(MainWindow, StatusLinesAndLampFollowTheCore) {
    EXPECT_EQ(main->lbTrackerName->text(), QStringLiteral("Quivra Tracker [Ver: 01.02]"));
    EXPECT_EQ(main->lbIndicatorName->text(), QStringLiteral("Quivra RavadOrora [Ver: 01.02]"));
    EXPECT_TRUE(main->JvImageTrackerOn->isHidden());
    Core().SetActiveButtons(true);
    Core().TrackerOn();
    EXPECT_TRUE(sim->tracker().on);
    EXPECT_FALSE(main->JvImageTrackerOn->isHidden());
    sim->plugTracker(false);
    ASSERT_TRUE(
        WaitFor([this] { return main->lbTrackerName->text() == QStringLiteral("Отключен"); }));
    EXPECT_TRUE(main->JvImageTrackerOn->isHidden());
}

TEST_F(MainWindow, StartUpEndsOnTheIndicatorPageWithTheBindingsOff) {
    EXPECT_EQ(main->HostedPage(), App().View()->RavadOrora());
    EXPECT_FALSE(main->JvImageTrackActive->isHidden());
    EXPECT_TRUE(main->JvImageTrack->isHidden());
    EXPECT_FALSE(Core().ActiveButtons());
    EXPECT_FALSE(main->TrayOnOff->isChecked());
    EXPECT_TRUE(App().Splash()->isHidden());
    // The offscreen platform has no tray: the window stays reachable and says so once.
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->findChildren<QMessageBox*>(QStringLiteral("NoTrayMessage")).size(), 1);
    main->HideApplication();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->findChildren<QMessageBox*>(QStringLiteral("NoTrayMessage")).size(), 1);
    ASSERT_NE(App().SimPanel(), nullptr);
    EXPECT_TRUE(App().SimPanel()->isVisible());
}

TEST_F(MainWindow, NavigationHostsThePagesAndMarksTheButton) {
    struct Nav {
        TJvImage* inactive;
        TJvImage* active;
        QWidget* page;
    };
    const Nav navs[] = {{main->JvImageHotkey, main->JvImageHotkeyActive, App().View()->Buttons()},
                        {main->JvImageSets, main->JvImageSetsActive, App().View()->Sets()},
                        {main->JvImageAbout, main->JvImageAboutActive, App().View()->About()},
                        {main->JvImageTrack, main->JvImageTrackActive, App().View()->RavadOrora()}};
    for (const Nav& n : navs) {
        SCOPED_TRACE(n.inactive->objectName().toStdString());
        QTest::mouseClick(n.inactive, Qt::LeftButton);
        EXPECT_EQ(main->HostedPage(), n.page);
        EXPECT_TRUE(n.page->isVisible());
        EXPECT_EQ(n.page->geometry(), QRect(0, 0, 763, 317));
        for (const Nav& other : navs) {
            const bool current = other.inactive == n.inactive;
            EXPECT_EQ(other.active->isHidden(), !current);
            EXPECT_EQ(other.inactive->isHidden(), current);
        }
        // The profiles button never shows while the window is on screen.
        EXPECT_TRUE(main->JvImageProfiles->isHidden());
        EXPECT_TRUE(main->JvImageProfilesActive->isHidden());
    }
    // An active image does not react, except the bindings one, which hosts its page again.
    QTest::mouseClick(main->JvImageTrackActive, Qt::LeftButton);
    EXPECT_EQ(main->HostedPage(), App().View()->RavadOrora());
    QTest::mouseClick(main->JvImageHotkey, Qt::LeftButton);
    int shows = 0;
    struct ShowCounter : QObject {
        int* n;
        explicit ShowCounter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) {
                ++*n;
            }
            return false;
        }
    } counter(&shows);
    App().View()->Buttons()->installEventFilter(&counter);
    QTest::mouseClick(main->JvImageHotkeyActive, Qt::LeftButton);
    EXPECT_EQ(shows, 1);
    QTest::mouseClick(main->JvImageSetsActive, Qt::LeftButton); // hidden: no reaction
    EXPECT_EQ(main->HostedPage(), App().View()->Buttons());
    App().View()->Buttons()->removeEventFilter(&counter);
}

TEST_F(MainWindow, IndicatorPageTestModeFollowsTheNavigationAndHiding) {
    ASSERT_TRUE(main->isVisible());
    EXPECT_FALSE(sim->tracker().on) << "the first scan switched the tracker off";
    main->JvImageTrackClick();
    EXPECT_TRUE(Core().RavadOroraTest.TestMode);
    EXPECT_TRUE(sim->tracker().on);
    main->JvImageSetsClick();
    EXPECT_FALSE(Core().RavadOroraTest.TestMode);
    EXPECT_FALSE(sim->tracker().on) << "it was off before the page was shown";

    main->JvImageTrackClick();
    ASSERT_TRUE(sim->tracker().on);
    main->JvMbOk->click(); // "Ок" hides (here: minimises, no tray) and ends the test mode
    EXPECT_FALSE(Core().RavadOroraTest.TestMode);
    EXPECT_FALSE(sim->tracker().on);
    // Minimised in place of hidden: a device scan does not enter the test mode either.
    const int ledsBefore = sim->indicator().ledCommands;
    sim->plugUnrelated(true);
    ASSERT_TRUE(WaitFor([&] { return sim->indicator().ledCommands >= ledsBefore + 6; }))
        << "the scan's LED greeting";
    guitest::Pump(200);
    EXPECT_FALSE(Core().RavadOroraTest.TestMode);
    EXPECT_FALSE(sim->tracker().on);

    main->ShowApplication();
    main->hide(); // any way of hiding ends it
    main->show();
    main->JvImageTrackClick();
    ASSERT_TRUE(Core().RavadOroraTest.TestMode);
    main->hide();
    EXPECT_FALSE(Core().RavadOroraTest.TestMode);
    // While the window is hidden no page switch enters the test mode.
    main->JvImageTrackClick();
    EXPECT_FALSE(Core().RavadOroraTest.TestMode);
}

TEST_F(MainWindow, TrayMenuAndMasterSwitch) {
    const QList<QAction*> items = main->popTrayIcon->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Настройки"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Включить / Выключить"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Выход"));
    EXPECT_EQ(main->TrayMenu->text(), QStringLiteral("Меню"));
    main->TrayOnOff->trigger();
    EXPECT_TRUE(Core().ActiveButtons());
    EXPECT_TRUE(main->TrayOnOff->isChecked());
    main->TrayOnOff->trigger();
    EXPECT_FALSE(Core().ActiveButtons());
    EXPECT_FALSE(main->TrayOnOff->isChecked());

    main->JvImageSetsClick();
    main->hide();
    main->TraySettings->trigger(); // what a left click on the icon runs
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->HostedPage(), App().View()->RavadOrora());
    EXPECT_TRUE(sim->tracker().on) << "shown first, then the indicator page: test mode";
}

TEST_F(MainWindow, SecondStartBringsTheWindowForwardOnTheBindingsPage) {
    main->hide();
    main->noxWMCopyData(2); // anything else is ignored
    EXPECT_FALSE(main->isVisible());
    main->noxWMCopyData(1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->HostedPage(), App().View()->Buttons());
    EXPECT_FALSE(main->isMinimized());
}

TEST_F(MainWindow, ExitAllowsTheClose) {
    EXPECT_FALSE(main->AllowClose);
    main->TrayExit->trigger();
    EXPECT_TRUE(main->AllowClose);
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(Core().tmJoyPoll.isActive());
}

TEST_F(MainWindow, SessionEndAllowsTheClose) {
    main->WMQueryEndSession();
    EXPECT_TRUE(main->AllowClose);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindow, TheSessionManagersTerminationSignalEndsTheProgramNormally) {
    main->ShowApplication();
    ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
    ASSERT_TRUE(WaitFor([this] { return main->Closed(); }));
    EXPECT_TRUE(main->AllowClose);
}

TEST_F(MainWindow, AutostartCheckBoxWritesTheEntry) {
    const QString entry =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/noxQuivraCPL.desktop");
    QFile::remove(entry);
    main->UpdateAutoRunCheck();
    EXPECT_FALSE(main->JvCheckBox1->isChecked());
    QTest::mouseClick(main->JvCheckBox1, Qt::LeftButton, {},
                      QPoint(8, main->JvCheckBox1->height() / 2));
    EXPECT_TRUE(main->JvCheckBox1->isChecked());
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() +
                              QStringLiteral("\" -TRAY")))
        << text.toStdString();
    file.close();
    QTest::mouseClick(main->JvCheckBox1, Qt::LeftButton, {},
                      QPoint(8, main->JvCheckBox1->height() / 2));
    EXPECT_FALSE(main->JvCheckBox1->isChecked());
    EXPECT_FALSE(QFile::exists(entry));
    // A reopened program shows what is on disk.
    QFile create(entry);
    ASSERT_TRUE(create.open(QIODevice::WriteOnly));
    create.close();
    main->UpdateAutoRunCheck();
    EXPECT_TRUE(main->JvCheckBox1->isChecked());
    QFile::remove(entry);
}

TEST_F(MainWindow, HotkeysStayQuietWithoutAKeyAndTheMasterSwitchGatesTheActions) {
    // Hotkeys 4 and 5 never get a key; with the master switch off nothing reaches the tracker.
    Core().SetActiveButtons(false);
    const int centres = sim->tracker().centreCount;
    main->JvApplicationHotKey1HotKey();
    EXPECT_EQ(sim->tracker().centreCount, centres);
    Core().SetActiveButtons(true);
    main->JvApplicationHotKey1HotKey();
    EXPECT_EQ(sim->tracker().centreCount, centres + 1);
    main->JvApplicationHotKey3HotKey(); // acOnOff: the tracker is off, so on
    EXPECT_TRUE(sim->tracker().on);
    EXPECT_TRUE(Core().RavadOroraTest.BeforeShowingState);
    main->JvApplicationHotKey3HotKey(); // and off again, by the off-mode (return to centre)
    EXPECT_FALSE(sim->tracker().on);
    EXPECT_FALSE(sim->tracker().offKeepsValue);
    Core().TrackerOn();
    main->JvApplicationHotKey5HotKey();
    EXPECT_FALSE(sim->tracker().on);
    EXPECT_TRUE(sim->tracker().offKeepsValue);
    for (TJvApplicationHotKey* hk : main->HotKeyComponents()) {
        EXPECT_EQ(hk->HotKeyValue(), 0) << hk->objectName().toStdString();
    }
}

// The hotkey table: each of the five components runs its own tracker action, and only while the
// bindings are switched on; with them off the tracker sees nothing.
TEST_F(MainWindow, EachHotkeyRunsItsOwnActionOnlyWhileTheBindingsAreOn) {
    struct Seen {
        int centres;
        int resets;
        bool on;
        bool keptValue;
        bool operator==(const Seen&) const = default;
    };
    auto seen = [this] {
        const sim::TrackerModel& t = sim->tracker();
        return Seen{t.centreCount, t.resetCentreCount, t.on, t.offKeepsValue};
    };
    struct Case {
        const char* name;
        std::function<void()> fire;
        bool startOn;
        std::function<void(Seen&)> effect;
    };
    const Case cases[] = {
        {"1 set centre", [this] { main->JvApplicationHotKey1HotKey(); }, false,
         [](Seen& s) { ++s.centres; }},
        {"2 reset centre", [this] { main->JvApplicationHotKey2HotKey(); }, false,
         [](Seen& s) { ++s.resets; }},
        {"3 on/off while off", [this] { main->JvApplicationHotKey3HotKey(); }, false,
         [](Seen& s) { s.on = true; }},
        {"3 on/off while on", [this] { main->JvApplicationHotKey3HotKey(); }, true,
         [](Seen& s) {
             s.on = false;
             s.keptValue = false; // the off-mode returns to the centre
         }},
        {"4 off, return to centre", [this] { main->JvApplicationHotKey4HotKey(); }, true,
         [](Seen& s) {
             s.on = false;
             s.keptValue = false;
         }},
        {"5 off, keep the value", [this] { main->JvApplicationHotKey5HotKey(); }, true,
         [](Seen& s) {
             s.on = false;
             s.keptValue = true;
         }},
    };
    for (const Case& c : cases) {
        for (const bool bindingsOn : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (bindingsOn ? ", bindings on" : ", bindings off"));
            Core().SetActiveButtons(true);
            if (c.startOn) {
                Core().TrackerOn();
            } else {
                Core().TrackerOffCurrentValue();
            }
            ASSERT_EQ(sim->tracker().on, c.startOn);
            Core().SetActiveButtons(bindingsOn);
            Seen expected = seen();
            if (bindingsOn) {
                c.effect(expected);
            }
            c.fire();
            EXPECT_EQ(seen(), expected);
        }
    }
}

TEST_F(MainWindow, ScreenshotsOfEveryPage) {
    main->ShowApplication();
    struct Shot {
        TJvImage* button;
        const char* name;
    };
    const Shot shots[] = {{main->JvImageTrack, "main_indicator_page"},
                          {main->JvImageSets, "main_sets_page_unread"},
                          {main->JvImageHotkey, "main_bindings_page"},
                          {main->JvImageAbout, "main_service_page"},
                          {main->JvImageProfiles, "main_profiles_page"}};
    for (const Shot& shot : shots) {
        const char* name = shot.name;
        if (shot.button == main->JvImageProfiles) {
            main->JvImageProfiles->show(); // no button on screen; shown only for its picture
        }
        emit shot.button->clicked();
        guitest::Pump(100);
        EXPECT_FALSE(guitest::SaveScreenshot(*main, QString::fromLatin1(name)).isEmpty()) << name;
    }
    EXPECT_FALSE(
        guitest::SaveScreenshot(*App().SimPanel(), QStringLiteral("simulator_panel")).isEmpty());
}

} // namespace

namespace {

// "Выход" chosen while the start-up still runs (the icon is already there, and the device waits
// handle events) ends the program instead of leaving it running unseen.
TEST(StartUp, ExitChosenDuringStartUpEndsTheProgram) {
    guitest::InstallFolder folder;
    TStartOptions options;
    options.ExecutablePath = folder.ExecutablePath();
    options.Simulate = true;
    options.SingleInstance = false;
    options.HotkeysFactory = [] {
        return platform::CreateNullGlobalHotkeys(QStringLiteral("test"));
    };
    TQuivraApp* program = nullptr;
    options.PrepareSimulator = [&program](sim::SimHidController&) {
        program->MainWindow()->TrayExit->trigger();
    };
    TQuivraApp app(std::move(options));
    program = &app;
    app.Start();
    EXPECT_TRUE(app.MainWindow()->Closed());
    bool loopRan = false;
    QTimer::singleShot(0, [&loopRan] {
        loopRan = true;
        QCoreApplication::quit();
    });
    EXPECT_EQ(app.Exec(), 0);
    EXPECT_FALSE(loopRan) << "no message loop after the exit";
}

} // namespace

namespace {

// A device in bootloader mode at start: the message, then the program ends.
TEST(StartUp, ADeviceInBootloaderModeEndsTheProgramWithAMessage) {
    guitest::ModalAnswerer answerer;
    TStartOptions options;
    options.PrepareSimulator = [](sim::SimHidController& s) { s.plugBootDevice(true); };
    guitest::InstallFolder folder;
    options.ExecutablePath = folder.ExecutablePath();
    options.Simulate = true;
    options.SingleInstance = false;
    options.HotkeysFactory = [] {
        return platform::CreateNullGlobalHotkeys(QStringLiteral("test"));
    };
    TQuivraApp app(std::move(options));
    EXPECT_EQ(app.Start(), TQuivraApp::StartResult::EndNow);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts.first(),
              QStringLiteral("Обнаружено подключенное устройство в режиме обновления прошивки.\n"
                             "Программа будет закрыта."));
}

} // namespace
