// Tests that need a real X server (Xvfb): the X11 hotkey service with the key pass-through, the
// program's hotkeys against the simulated tracker, and the tray (trayer as the tray host).
#include "GuiTestSupport.h"
#include "X11Support.h"
#include "core/CplData.h"
#include "platform/desktop/GlobalHotkeys.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "sim/SimHid.h"
#include "ui/ApplicationHotKey.h"
#include "ui/CplMain.h"
#include "ui/GuiView.h"
#include "ui/PagePlaceholders.h"
#include "ui/PageRavadOrora.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Xlib last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

using guitest::FocusedClient;
using guitest::RunTool;
using guitest::WaitFor;

constexpr uint16_t kF9 = 0x78;
constexpr uint16_t kCtrlShiftA = 0x6041;

bool Press(const QString& keys) {
    return RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

class X11Hotkeys : public ::testing::Test {
protected:
    void SetUp() override {
        if (!guitest::HaveXDisplay()) {
            GTEST_SKIP() << "no X display";
        }
        QString reason;
        service = platform::x11::CreateX11GlobalHotkeys(&reason);
        ASSERT_NE(service, nullptr) << reason.toStdString();
        client = std::make_unique<FocusedClient>();
        ASSERT_TRUE(client->ok());
        QObject::connect(service.get(), &platform::GlobalHotkeys::activated, [this](int id) {
            fired.push_back(id);
            if (passOn) {
                passedOk = service->PassOn(id);
            }
        });
    }
    std::unique_ptr<platform::GlobalHotkeys> service;
    std::unique_ptr<FocusedClient> client;
    std::vector<int> fired;
    bool passOn = true;
    bool passedOk = false;
};

TEST_F(X11Hotkeys, PressFiresAndThePassedKeyReachesTheFocusedClient) {
    ASSERT_TRUE(service->Register(1, kF9)) << service->lastError().toStdString();
    EXPECT_TRUE(service->IsRegistered(1));
    ASSERT_TRUE(Press(QStringLiteral("F9")));
    ASSERT_TRUE(WaitFor([&] { return !fired.empty(); }));
    EXPECT_EQ(fired.front(), 1);
    EXPECT_TRUE(passedOk);
    EXPECT_TRUE(WaitFor([&] { return client->PressesOf(XK_F9) == 1; }));
    EXPECT_FALSE(service->PassOn(1)) << "only while the press is being handled";
}

TEST_F(X11Hotkeys, APressNotPassedOnIsDropped) {
    passOn = false;
    ASSERT_TRUE(service->Register(2, kF9));
    ASSERT_TRUE(Press(QStringLiteral("F9")));
    ASSERT_TRUE(WaitFor([&] { return !fired.empty(); }));
    // A later ordinary key arrives, the dropped F9 never does.
    ASSERT_TRUE(Press(QStringLiteral("x")));
    ASSERT_TRUE(WaitFor([&] { return client->PressesOf(XK_x) == 1; }));
    EXPECT_EQ(client->PressesOf(XK_F9), 0);
}

TEST_F(X11Hotkeys, LockVariantsAndModifiers) {
    ASSERT_TRUE(service->Register(3, kCtrlShiftA));
    struct Step {
        const char* keys;
        std::size_t firedAfter;
    };
    // Num Lock and Caps Lock are toggled around the presses; they must not matter.
    const Step steps[] = {{"ctrl+shift+a", 1}, {"a", 1},
                          {"Num_Lock", 1},     {"ctrl+shift+a", 2},
                          {"Caps_Lock", 2},    {"ctrl+shift+a", 3},
                          {"Num_Lock", 3},     {"ctrl+shift+a", 4},
                          {"Caps_Lock", 4},    {"ctrl+a", 4}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.keys);
        ASSERT_TRUE(Press(QString::fromLatin1(s.keys)));
        if (fired.size() < s.firedAfter) {
            EXPECT_TRUE(WaitFor([&] { return fired.size() == s.firedAfter; }));
        }
    }
    // The ordinary "a" and "ctrl+a" went to the client, never to the hotkey.
    EXPECT_TRUE(WaitFor([&] { return client->PressesOf(XK_a) >= 6; }));
    EXPECT_EQ(fired.size(), 4u);
}

TEST_F(X11Hotkeys, ACombinationTakenByAnotherClientIsRefused) {
    ASSERT_TRUE(client->GrabOnRoot(XK_F10, ControlMask));
    EXPECT_FALSE(service->Register(4, 0x4079)); // Ctrl+F10
    EXPECT_TRUE(service->lastError().contains(QStringLiteral("taken by another application")))
        << service->lastError().toStdString();
    EXPECT_FALSE(service->IsRegistered(4));
    EXPECT_TRUE(service->Register(5, 0x79)) << "F10 alone is free";
}

TEST_F(X11Hotkeys, UnknownKeysAndDuplicatesAreRefused) {
    EXPECT_FALSE(service->Register(6, 0x07)); // no such virtual key
    EXPECT_FALSE(service->lastError().isEmpty());
    ASSERT_TRUE(service->Register(7, kF9));
    EXPECT_FALSE(service->Register(8, kF9)) << "one combination, one registration";
    service->Unregister(7);
    EXPECT_TRUE(service->Register(8, kF9));
}

// The program's first hotkey (slot 1, set centre) against the simulated tracker.
class AppHotkeys : public ::testing::Test {
protected:
    void SetUp() override {
        if (!guitest::HaveXDisplay()) {
            GTEST_SKIP() << "no X display";
        }
        TStartOptions options;
        options.HotkeysFactory = [] { return platform::CreateGlobalHotkeys(); };
        running = guitest::StartApp(std::move(options));
        core = running.app->Core();
        sim = running.app->Simulator();
        main = running.app->MainWindow();
        ASSERT_EQ(main->Hotkeys().backendName(), QStringLiteral("x11"));
        client = std::make_unique<FocusedClient>();
        ASSERT_TRUE(client->ok());
        core->HotKeys[0].InputType = QStringLiteral("Keyboard");
        core->HotKeys[0].Key = kF9;
        core->SetHotkeyActive(core->HotKeys[0]);
        running.app->View()->UpdateSettings(false);
        ASSERT_TRUE(main->JvApplicationHotKey1->Registered());
        client->Focus();
    }
    guitest::RunningApp running;
    TDmTrackCpl* core = nullptr;
    sim::SimHidController* sim = nullptr;
    TfmnoxQuivraCplMain* main = nullptr;
    std::unique_ptr<FocusedClient> client;
};

TEST_F(AppHotkeys, SetCentreRunsAndTheKeyStillReachesTheForegroundApplication) {
    core->SetActiveButtons(true);
    ASSERT_TRUE(main->JvApplicationHotKey1->Registered()) << "switching on registers again";
    const int before = sim->tracker().centreCount;
    ASSERT_TRUE(Press(QStringLiteral("F9")));
    ASSERT_TRUE(WaitFor([&] { return sim->tracker().centreCount == before + 1; }));
    EXPECT_TRUE(WaitFor([&] { return client->PressesOf(XK_F9) == 1; }));
}

TEST_F(AppHotkeys, WithTheBindingsOffTheKeyOnlyPassesThrough) {
    core->SetActiveButtons(false);
    running.app->View()->UpdateSettings(false); // registered whatever the master switch says
    ASSERT_TRUE(main->JvApplicationHotKey1->Registered());
    const int before = sim->tracker().centreCount;
    ASSERT_TRUE(Press(QStringLiteral("F9")));
    ASSERT_TRUE(WaitFor([&] { return client->PressesOf(XK_F9) == 1; }));
    EXPECT_EQ(sim->tracker().centreCount, before);
    // Switching the bindings off releases every hotkey.
    core->SetActiveButtons(true);
    core->SetActiveButtons(false);
    EXPECT_FALSE(main->JvApplicationHotKey1->Registered());
}

TEST_F(AppHotkeys, ARefusedRegistrationIsSilentButLogged) {
    ASSERT_TRUE(client->GrabOnRoot(XK_F8, 0)); // another application holds F8
    QStringList logged;
    QObject::connect(core, &TDmTrackCpl::messageLogged,
                     [&logged](const QString& line) { logged.append(line); });
    core->HotKeys[1].InputType = QStringLiteral("Keyboard");
    core->HotKeys[1].Key = 0x77; // F8
    core->SetHotkeyActive(core->HotKeys[1]);
    running.app->View()->UpdateSettings(false);
    EXPECT_FALSE(main->JvApplicationHotKey2->Registered());
    EXPECT_TRUE(main->JvApplicationHotKey2->Active());
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.first().startsWith(
        QStringLiteral("JvApplicationHotKey2: hotkey 119 not registered")))
        << logged.first().toStdString();
    EXPECT_TRUE(main->JvApplicationHotKey1->Registered()) << "the others are not affected";
}

TEST_F(AppHotkeys, TheDebuggerKeyIsNeverRegistered) {
    core->HotKeys[1].InputType = QStringLiteral("Keyboard");
    core->HotKeys[1].Key = core->HotKeySystemDebug; // F12
    core->SetHotkeyActive(core->HotKeys[1]);
    running.app->View()->UpdateSettings(false);
    EXPECT_FALSE(main->JvApplicationHotKey2->Registered());
    EXPECT_EQ(main->JvApplicationHotKey2->HotKeyValue(), core->HotKeySystemDebug);
}

// The tray, with trayer as the host.
class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        if (!guitest::HaveXDisplay()) {
            GTEST_SKIP() << "no X display";
        }
        host = std::make_unique<guitest::TrayHost>();
        ASSERT_TRUE(host->ok()) << "trayer did not provide a tray";
    }
    void StartApp(TStartOptions options = {}) {
        running = guitest::StartApp(std::move(options));
        main = running.app->MainWindow();
        ASSERT_TRUE(WaitFor([this] { return host->IconCentre().x() >= 0; }, 10000))
            << "the tray icon is docked";
    }
    bool ClickIcon(int button) {
        const QPoint at = host->IconCentre();
        return RunTool(QStringLiteral("xdotool"),
                       {QStringLiteral("mousemove"), QString::number(at.x()),
                        QString::number(at.y()), QStringLiteral("click"), QString::number(button)});
    }
    std::unique_ptr<guitest::TrayHost> host;
    guitest::RunningApp running;
    TfmnoxQuivraCplMain* main = nullptr;
};

TEST_F(Tray, StartsHiddenAndATrayClickShowsTheIndicatorPage) {
    StartApp();
    EXPECT_TRUE(main->TrayAvailable());
    EXPECT_FALSE(main->isVisible()) << "start-up ends hidden in the tray";
    EXPECT_TRUE(main->findChildren<QWidget*>(QStringLiteral("NoTrayMessage")).isEmpty());
    running.app->MainWindow()->JvImageSetsClick(); // leave the indicator page meanwhile
    ASSERT_TRUE(ClickIcon(1));
    ASSERT_TRUE(WaitFor([this] { return main->isVisible(); }));
    EXPECT_EQ(main->HostedPage(), running.app->View()->RavadOrora());
    EXPECT_TRUE(running.app->Simulator()->tracker().on) << "indicator test mode";
}

TEST_F(Tray, TheCloseBoxHidesAndTheProgramGoesOn) {
    StartApp();
    main->ShowApplication();
    ASSERT_TRUE(WaitFor([this] { return main->isVisible(); }));
    // What the window manager sends for the close box.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = main->winId();
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, main->winId(), False, NoEventMask, &e);
    XFlush(d);
    XCloseDisplay(d);
    ASSERT_TRUE(WaitFor([this] { return !main->isVisible(); }));
    EXPECT_FALSE(main->AllowClose);
    EXPECT_TRUE(main->JvTrayIcon1->isVisible());
    EXPECT_NE(running.app->Core(), nullptr);
    EXPECT_TRUE(running.app->Core()->tmCheckUSB.isActive());
}

TEST_F(Tray, ExitFromTheTrayMenuAllowsTheClose) {
    StartApp();
    ASSERT_TRUE(ClickIcon(3));
    ASSERT_TRUE(WaitFor([this] { return main->popTrayIcon->isVisible(); }));
    const QRect item = main->popTrayIcon->actionGeometry(main->TrayExit);
    const QPoint at = main->popTrayIcon->mapToGlobal(item.center());
    ASSERT_TRUE(RunTool(QStringLiteral("xdotool"),
                        {QStringLiteral("mousemove"), QString::number(at.x()),
                         QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")}));
    ASSERT_TRUE(WaitFor([this] { return main->AllowClose; }));
    EXPECT_FALSE(main->isVisible());
}

TEST_F(Tray, ASecondStartBringsTheWindowForwardOnTheBindingsPage) {
    QTemporaryDir runtime;
    TStartOptions options;
    options.RuntimeFolder = runtime.path();
    running.folder = std::make_unique<guitest::InstallFolder>();
    options.ExecutablePath = running.folder->ExecutablePath();
    options.Simulate = true;
    options.HotkeysFactory = [] {
        return platform::CreateNullGlobalHotkeys(QStringLiteral("test"));
    };
    running.app = std::make_unique<TQuivraApp>(std::move(options));
    ASSERT_EQ(running.app->Start(), TQuivraApp::StartResult::Running);
    main = running.app->MainWindow();
    ASSERT_FALSE(main->isVisible());

    // The real program, started a second time under the same name and runtime folder.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(QCC_GUI_BINARY), {QStringLiteral("--simulate")});
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000))
        << "the second instance ends";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(WaitFor([this] { return main->isVisible(); }));
    EXPECT_EQ(main->HostedPage(), running.app->View()->Buttons());
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished(3000);
    }
    running.app.reset(); // before its runtime folder goes
}

// A small viewable window of the program that is not its tray icon: the tray menu.
QRect ProgramPopup() {
    QString tree;
    RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, &tree);
    static const QRegularExpression geometry(QStringLiteral(
        "^\\s*(0x[0-9a-f]+) .*\\(\"quivra-cc\" "
        "\"quivra-cc\"\\)\\s+(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    for (const QString& line : tree.split(QLatin1Char('\n'))) {
        const auto m = geometry.match(line);
        if (!m.hasMatch()) {
            continue;
        }
        const int w = m.captured(2).toInt();
        const int h = m.captured(3).toInt();
        if (w < 60 || w > 400 || h < 40 || h > 200) {
            continue;
        }
        QString info;
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), m.captured(1)}, &info);
        if (info.contains(QStringLiteral("IsViewable"))) {
            return QRect(m.captured(4).toInt(), m.captured(5).toInt(), w, h);
        }
    }
    return {};
}

// The real program: started under a tray host it ends hidden with its icon docked, and "Выход"
// in the tray menu ends the process with status 0.
TEST_F(Tray, TheProgramLivesInTheTrayAndExitsWithStatusZero) {
    QTemporaryDir runtime;
    QTemporaryDir config;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(QCC_GUI_BINARY), {QStringLiteral("--simulate")});
    ASSERT_TRUE(program.waitForStarted(5000));
    const bool docked = WaitFor([this] { return host->IconCentre().x() >= 0; }, 30000);
    QString windows;
    RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")},
            &windows);
    bool exited = false;
    if (docked) {
        // The main window (763 x 559) is not on screen (it may not even have been mapped yet).
        for (const QString& line : windows.split(QLatin1Char('\n'))) {
            if (line.contains(QStringLiteral("763x559"))) {
                QString info;
                RunTool(QStringLiteral("xwininfo"),
                        {QStringLiteral("-id"), line.trimmed().section(QLatin1Char(' '), 0, 0)},
                        &info);
                EXPECT_FALSE(info.contains(QStringLiteral("IsViewable"))) << info.toStdString();
            }
        }
        // Right click opens the menu; its last item is "Выход". (The icon docks before the
        // start-up has ended; a choice made that early must end the program too.)
        EXPECT_TRUE(ClickIcon(3));
        QRect menu;
        QRect seen;
        EXPECT_TRUE(WaitFor(
            [&] {
                const QRect now = ProgramPopup();
                const bool steady = now.isValid() && now == seen; // it moves to fit the screen
                seen = now;
                if (steady) {
                    menu = now;
                }
                return steady;
            },
            15000));
        if (menu.isValid()) {
            const QString x = QString::number(menu.center().x());
            const QString y = QString::number(menu.bottom() - 14);
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), x, y});
            guitest::Pump(200);
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("1")});
            exited = program.waitForFinished(20000);
        }
    }
    EXPECT_TRUE(docked) << "the tray icon is docked";
    EXPECT_TRUE(exited) << "\"Выход\" ends the program";
    if (!exited) {
        program.kill();
        program.waitForFinished(5000);
    } else {
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }
}

} // namespace
