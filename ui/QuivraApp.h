#pragma once
// The program's start-up and run: single instance, main window, splash, core, the switch to the
// indicator page, bindings off, hide to the tray, the bootloader check, the message loop. The
// executable's main() only builds the options; tests run the same start-up in-process.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QApplication;
class TDmTrackCpl;
class TGuiView;
class TSimPanel;
class TfmnoxQuivraCplMain;
class TfmnoxSplash;

namespace core {
class SingleInstance;
}
namespace platform {
class GlobalHotkeys;
class HidController;
class SessionEndWatcher;
} // namespace platform
namespace sim {
class SimHidController;
}

struct TStartOptions {
    QString ExecutablePath;     // empty: this process's executable
    QStringList Arguments;      // after the program name
    bool Simulate = false;      // simulated devices and the simulator panel
    bool SingleInstance = true; // claim the instance name (tests switch it off)
    QString RuntimeFolder;      // where the instance lock and socket live; empty: default
    int SplashDraw = -1;        // the splash picture draw 0..99; -1 random
    // The hotkey service; null: the one for this session (X11, or none).
    std::function<std::unique_ptr<platform::GlobalHotkeys>()> HotkeysFactory;
    // Test hook for the simulator before the core's first scan (faults, plugging).
    std::function<void(sim::SimHidController&)> PrepareSimulator;

    // Reads "--simulate" out of the process's arguments (the rest is handed to the core as is).
    static TStartOptions FromProcess();
};

class TQuivraApp {
public:
    explicit TQuivraApp(TStartOptions options);
    ~TQuivraApp();

    enum class StartResult {
        Running,        // the window lives in the tray; run the message loop
        SecondInstance, // another instance was asked to come forward; end with status 0
        EndNow,         // a device in bootloader mode: the message was shown; end
    };
    // Start-up steps up to the message loop.
    StartResult Start();
    // The message loop, unless the main window was already closed; the process's exit status.
    int Exec();

    TfmnoxQuivraCplMain* MainWindow() const { return main_.get(); }
    TGuiView* View() const { return view_.get(); }
    TDmTrackCpl* Core() const { return core_.get(); }
    TfmnoxSplash* Splash() const { return splash_.get(); }
    TSimPanel* SimPanel() const { return simPanel_.get(); }
    sim::SimHidController* Simulator() const { return sim_; }

private:
    std::unique_ptr<platform::HidController> CreateHid();

    TStartOptions options_;
    std::unique_ptr<core::SingleInstance> instance_;
    std::unique_ptr<TfmnoxQuivraCplMain> main_;
    std::unique_ptr<platform::SessionEndWatcher> sessionEnd_;
    std::unique_ptr<TfmnoxSplash> splash_;
    std::unique_ptr<TGuiView> view_;
    std::unique_ptr<TDmTrackCpl> core_;
    std::unique_ptr<TSimPanel> simPanel_;
    sim::SimHidController* sim_ = nullptr; // owned by the core
};
