#pragma once
// A core started against the simulated devices, with a view that records what the core shows.
// The executable path is a name inside a temporary folder, so every test has its own
// configuration file beside "its" executable.

#include "core/CoreView.h"
#include "core/CplData.h"
#include "devicelink/Utils.h"
#include "sim/SimHid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace coretest {

// Records every call of the core into the window side.
class RecordingView : public core::CoreView {
public:
    bool createPages = true; // the pages exist (as in the GUI)
    bool mainWindow = true;
    bool appVisible = false;
    bool indicatorShowing = false;

    std::vector<core::Page> created;
    std::vector<int> splash;
    std::vector<QString> messages;
    std::vector<QString> log; // the service page's log
    std::vector<std::string> calls;
    int trayExits = 0;
    int histoUpdates = 0;
    int lastHisto = -1;

    bool CreatePage(core::Page page, TDmTrackCpl& core) override {
        created.push_back(page);
        if (page == core::Page::OpenGL && createPages)
            for (int p : {60, 70, 80, 90, 100}) // the orientation view's texture loads
                core.SplashLogMessage(p);
        return createPages;
    }
    void SplashLogMessage(int percent) override { splash.push_back(percent); }
    bool MainWindowExists() const override { return mainWindow; }
    void SetLbTrackerName(const QString& t) override {
        calls.push_back("tracker:" + t.toStdString());
    }
    void SetLbIndicatorName(const QString& t) override {
        calls.push_back("indicator:" + t.toStdString());
    }
    void SetJvImageTrackerOnVisible(bool v) override {
        calls.push_back(v ? "lamp:on" : "lamp:off");
    }
    void SetTrayOnOffChecked(bool c) override { calls.push_back(c ? "tray:on" : "tray:off"); }
    void DeactivateHotKeys() override { calls.push_back("hotkeys:off"); }
    void TrayExit() override { ++trayExits; }
    bool ApplicationVisible() const override { return appVisible; }
    void ShowMessage(const QString& text) override { messages.push_back(text); }
    void ShowOnOffButtons(bool on) override { calls.push_back(on ? "buttons:on" : "buttons:off"); }
    void ShowOffMode(bool c) override { calls.push_back(c ? "offmode:center" : "offmode:keep"); }
    void AssignActions() override { calls.push_back("AssignActions"); }
    void UpdateSettings(bool save) override {
        calls.push_back(save ? "UpdateSettings(true)" : "UpdateSettings(false)");
    }
    bool IndicatorPageShowing() const override { return indicatorShowing; }
    void SetLbAxis(int x, int y) override {
        calls.push_back("axis:" + std::to_string(x) + "," + std::to_string(y));
    }
    void SetLbAxisOff() override { calls.push_back("axis:off"); }
    void SetLbHisto(int v) override {
        ++histoUpdates;
        lastHisto = v;
    }
    void SetBrightnessSliders(int b, int r, int i) override {
        calls.push_back("sliders:" + std::to_string(b) + "," + std::to_string(r) + "," +
                        std::to_string(i));
    }
    void LogMessage(const QString& line) override { log.push_back(line); }
    void HideRavadOroraGoBootButton() override { calls.push_back("hide:RavadOroraGoBoot"); }
    void HideTrackerGoBootButton() override { calls.push_back("hide:TrackerGoBoot"); }

    bool Called(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
};

// The sample configuration with a short read pause, so retries do not slow the tests down.
inline const char* kConfig = "[Dest]\nVID=0x1209\nPID=0xA7B1\nFmwVer=01.02\nBootButton=1\n"
                             "[Source]\nVID=0x1209\nPID=0xA7B2\nFmwVer=01.02\nBootButton=1\n"
                             "[HID_Read]\nInterval=1\nCount=3\n";

// The simulator, counting the rescans the core asks for.
class CountingSim : public sim::SimHidController {
public:
    using sim::SimHidController::SimHidController;
    void deviceChange() override {
        ++deviceChanges;
        sim::SimHidController::deviceChange();
    }
    int deviceChanges = 0;
};

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // The core goes first: its shutdown still reports into the fixture's records.
    void TearDown() override { core.reset(); }

    QString ExePath() const { return dir.filePath(QStringLiteral("quivra-cc")); }
    void WriteFile(const QString& name, const QByteArray& text) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void WriteConfig(const QByteArray& text = kConfig) {
        WriteFile(QStringLiteral("quivra-cc.ini"), text);
    }

    // Creates the simulator (with `simConfig`) and the core, and runs DataModuleCreate.
    void Start(const QStringList& args = {}) {
        auto controller = std::make_unique<CountingSim>(simConfig);
        sim = controller.get();
        TCoreOptions o;
        o.ExecutablePath = ExePath();
        o.Arguments = args;
        o.View = &view;
        auto holder = std::make_shared<std::unique_ptr<CountingSim>>(std::move(controller));
        o.HidFactory = [holder]() -> std::unique_ptr<platform::HidController> {
            return std::move(*holder);
        };
        if (inputFactory)
            o.InputManagerFactory = inputFactory;
        core = std::make_unique<TDmTrackCpl>(std::move(o));
        QObject::connect(core.get(), &TDmTrackCpl::messageLogged,
                         [this](const QString& l) { logged.push_back(l); });
        QObject::connect(core.get(), &TDmTrackCpl::statusLinesChanged, [this] { ++scans; });
        QObject::connect(core.get(), &TDmTrackCpl::splashProgress,
                         [this](int p) { progress.push_back(p); });
        core->DataModuleCreate();
    }

    // Reports written to one device since the last clear, as byte strings.
    std::vector<QByteArray> Written(const QString& device) const {
        std::vector<QByteArray> out;
        for (const sim::WireRecord& r : sim->wire())
            if (r.kind == sim::WireRecord::Kind::Set && r.device == device)
                out.push_back(r.bytes);
        return out;
    }
    // Command codes of the reports written to a device: byte 3 of a short command, byte 2 of
    // a long-transfer request (0xC5, 0x87, ...).
    std::vector<int> Codes(const QString& device) const {
        std::vector<int> out;
        for (const QByteArray& b : Written(device))
            if (b.size() > 3)
                out.push_back(static_cast<uint8_t>(b.at(2)) == 0x5A
                                  ? static_cast<uint8_t>(b.at(3))
                                  : static_cast<uint8_t>(b.at(2)));
        return out;
    }
    // Get-feature requests answered by a device.
    int Gets(const QString& device) const {
        int n = 0;
        for (const sim::WireRecord& r : sim->wire())
            n += r.kind == sim::WireRecord::Kind::Get && r.device == device;
        return n;
    }
    // Runs the event loop for `ms` (queued hotplug notifications, timers).
    static void Pump(int ms) { YnqUtils::Delay(static_cast<uint32_t>(ms)); }
    // Runs the event loop until `done` holds or 10 s passed; returns whether it holds.
    template <typename Pred> static bool WaitFor(Pred done) {
        for (int i = 0; i < 1000 && !done(); ++i)
            Pump(10);
        return done();
    }

    QTemporaryDir dir;
    sim::SimConfig simConfig;
    CountingSim* sim = nullptr; // owned by the core's Hidctl
    RecordingView view;
    std::function<std::unique_ptr<TdxInputManager>()> inputFactory;
    std::unique_ptr<TDmTrackCpl> core;
    std::vector<QString> logged;
    std::vector<int> progress;
    int scans = 0; // device scans that wrote the status lines
};

} // namespace coretest
