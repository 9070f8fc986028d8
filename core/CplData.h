#pragma once
// TDmTrackCpl: the core of the control centre. It owns the device channels, the timers and the
// program state; every device command, the device discovery and the live monitoring are methods
// of it. It links Qt Core only: what it shows goes through core::CoreView (CoreView.h).
//
// Life: construct with TCoreOptions, connect to its signals, call DataModuleCreate(); the
// destructor runs DataModuleDestroy() (switch the tracker off, darken the indicator, free the
// channels). The entry point then does, in this order: SplashLogMessage(100), show the
// orientation view, show the indicator page, SetActiveButtons(false) and the tray check mark,
// hide to the tray, and when YNQ_BOOT is set show kBootModeMessage and end.
//
// Threads: everything runs on the thread that created the object, inside its event loop. Device
// waits run the event loop (YnqUtils::Delay), so timers and input run inside exchanges; the
// channel guard (ExchangeGuard.h) keeps one exchange per channel at a time.
//
// The members carry the designed names. Fields are public like the published fields of the
// original data module; pages and tools read them, only the core writes them unless noted.

#include "core/CoreTypes.h"
#include "core/CoreView.h"
#include "core/ExchangeGuard.h"
#include "core/IniDocument.h"
#include "core/InputManager.h"
#include "core/TestMode.h"
#include "devicelink/HID.h"
#include "devicelink/ParamBlock.h"
#include "platform/hid/HidController.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Fixed texts of the core.
namespace core {
inline const QString kNoConfigMessage = QStringLiteral("Конфигурационный файл не найден!");
inline const QString kDirectXErrorMessage = QStringLiteral("DirectX Error!");
inline const QString kBootModeMessage = QStringLiteral(
    "Обнаружено подключенное устройство в режиме обновления прошивки.\r\nПрограмма будет закрыта.");
inline const QString kDisconnected = QStringLiteral("Отключен");
inline const QString kUpdateHint = QStringLiteral(" (Требуется обновление прошивки)");
inline const QString kBootProductName = QStringLiteral("YNQ-Boot");
inline const QString kTrackerMissingLog = QStringLiteral("Не найден трекер");
inline const QString kIndicatorMissingLog = QStringLiteral("Не найден индикатор");
inline const QString kReadErrorPrefix = QStringLiteral("Ошибка чтения параметров [");
} // namespace core

// What the core is started with. Everything has a default, so tests set only what they need.
struct TCoreOptions {
    // Path of the running executable: the default configuration (<exe>.ini), the "DataPathes"
    // rule and the default folders derive from it. Empty: QCoreApplication::applicationFilePath().
    QString ExecutablePath;
    // Command-line arguments after the program name.
    QStringList Arguments;
    // Creates the HID controller (real hardware or the simulator) when the core's creation gets
    // to it; the core owns the result. Null or returning null: no HID devices at all.
    std::function<std::unique_ptr<platform::HidController>()> HidFactory;
    // Creates the input manager (start-up and every device scan). Null: the placeholder.
    std::function<std::unique_ptr<TdxInputManager>()> InputManagerFactory;
    // The window side; not owned, must outlive the core. Null: a headless view that shows nothing.
    core::CoreView* View = nullptr;
    // The program switches the tracker off (by the off-mode) and darkens the indicator when the
    // core is destroyed. The command-line tool turns this off so that "on" stays on.
    bool SwitchOffOnExit = true;

    // ExecutablePath and Arguments of this process.
    static TCoreOptions FromProcess();
};

class TDmTrackCpl : public QObject {
    Q_OBJECT
public:
    explicit TDmTrackCpl(TCoreOptions options, QObject* parent = nullptr);
    // Runs DataModuleDestroy() when DataModuleCreate() ran and it did not run yet.
    ~TDmTrackCpl() override;

    TDmTrackCpl(const TDmTrackCpl&) = delete;
    TDmTrackCpl& operator=(const TDmTrackCpl&) = delete;

    // ---- Life --------------------------------------------------------------------------------

    // The creation handler, steps 1-13: defaults, command line, configuration, folders,
    // language and profile, pages with the splash progress, bindings, and the HID controller
    // with its first device scan (which finds the devices before this returns). Fatal errors
    // are recorded in ErrMsg and shown by tmExit 500 ms later. Runs once; later calls do nothing.
    void DataModuleCreate();
    // The destruction handler: save the profile, switch the tracker off by the off-mode (the
    // indicator goes dark), free the profile and language documents, both channels, the
    // controller list and the input manager. Runs once.
    void DataModuleDestroy();
    bool IsCreated() const { return created_; }

    // tmExit's handler: stop the timer, show ErrMsg, then the main window's TrayExit.
    void tmExitTimer();

    // Appends a line to the diagnostic log: emits messageLogged and hands the line to the
    // service page when it exists.
    void LogMessage(const QString& S);

    // Shows start-up progress on the splash: emits splashProgress and calls the view.
    void SplashLogMessage(int S);

    core::CoreView& View() const { return *view_; }
    // True when the page was created at start-up (CoreView::CreatePage returned true).
    bool PageExists(core::Page page) const;

    // ---- Properties --------------------------------------------------------------------------

    // Master switch of the bindings. Writing a new value: with the bindings page and main window
    // present, true runs the page's UpdateSettings(true), false deactivates the hotkeys 1-5; then
    // the tray check mark follows.
    bool ActiveButtons() const { return FActiveButtons; }
    void SetActiveButtons(bool value);
    // Unsaved changes of the current profile.
    bool ProfileChanged() const { return FProfileChanged; }
    void SetProfileChanged(bool value) { FProfileChanged = value; }
    // Off-mode: true = off with return to centre. A new value shows on the bindings page.
    bool FlgOffCenter() const { return FFlgOffCenter; }
    void SetFlgOffCenter(bool value);
    // What the program believes about the tracker (from its on/off exchanges). Writing it, also
    // with an unchanged value: a new value shows on the bindings page's on/off buttons; the
    // lamp JvImageTrackerOn is shown exactly when the tracker channel exists and the state is
    // true; when the lamp ends hidden the indicator page shows "--/--".
    bool TrackerOnState() const { return FTrackerOnState; }
    void SetTrackerOnState(bool value);

    // ---- Status ------------------------------------------------------------------------------

    // The texts of lbTrackerName / lbIndicatorName as last written by a device scan (empty before
    // the first scan).
    const QString& TrackerStatusLine() const { return lbTrackerName_; }
    const QString& IndicatorStatusLine() const { return lbIndicatorName_; }
    // Whether the main window's lamp JvImageTrackerOn is shown.
    bool TrackerLampVisible() const { return lampVisible_; }

    // Status line of a present device: product name + " [Ver: " + d1d2 + "." + d3d4 + "]", with
    // kUpdateHint when bootButton = 1 and the version text differs from `expectedVersion`.
    static QString StatusLine(const QString& productName, uint16_t release, uint16_t bootButton,
                              const QString& expectedVersion);
    // "01.02" for release 0x0102 (four upper-case hex digits with a point in the middle).
    static QString VersionText(uint16_t release);

    // ---- Device discovery (handlers of Hidctl and tmCheckUSB) ------------------------------

    // One device during Enumerate: notes "YNQ-Boot", takes the tracker or indicator role when
    // the identifiers match and the device checks out with a feature report. Always true.
    bool HidctlEnumerate(platform::HidDevice& HidDev, int Idx);
    // The device scan: controller list, enumerate, LED greeting, status lines, first-run
    // switch-off, timers, bindings page refresh and indicator test mode.
    void HidctlDeviceChange();
    // Releases the tracker or indicator role matching the device's identifiers.
    void HidctlDeviceUnplug(platform::HidDevice* HidDev);
    // Input reports are not used.
    void HidctlDeviceData(platform::HidDevice* HidDev, const QByteArray& report);
    // Rescan while either status line reads "Отключен".
    void tmCheckUSBTimer();

    // ---- Command set -------------------------------------------------------------------------
    // None returns a result; outcomes show as TrackerOnState, the LED pattern, a log line or a
    // message box. A command whose channel (or required partner device) is missing does nothing.
    // A command called while its channel is busy with another exchange is queued and runs right
    // after that exchange ends (see ExchangeGuard.h).

    void SetLed(uint8_t Mask, uint8_t b1, uint8_t b2, uint8_t b3);
    void SetLedIr(bool Fire);
    void SetLedBlue(bool Fire);
    void SetLedRed(bool Fire);
    void SetLedOff();
    // Ready pattern: infrared; with the tracker on (or TestState false) blue too, or red when
    // the tracker channel is missing.
    void ReadyBlick(bool TestState);
    // Logs Msg, red for 200 ms, ready pattern. Empty Msg: nothing.
    void ErrorBlick(const QString& Msg);

    void TrackerOn();
    void TrackerOffReturnCenter();
    void TrackerOffCurrentValue();
    void TrackerSetCenter();
    void TrackerResetCenter();

    // Reads the parameter block into Raw with HID_Read_Count attempts, each followed by a plain
    // sleep of HID_Read_Interval ms; on final failure the message box kReadErrorPrefix + the
    // system's error text + "]". Clears Track_Need_Read when it got as far as its attempts.
    void TrackerGetEEPROM();
    void TrackerGetRAM();
    // Writes Raw[0..123] to the EEPROM. Outcome in LastEEPROMWriteOk().
    void TrackerSetEEPROM();

    void TrackRestart();
    void RavadOroraRestart();
    void TrackerClearParams();
    void TrackClbrStart();
    void TrackClbrSave();
    void TrackClbrReset();
    void TrackerGotoBoot();
    void RavadOroraGotoBoot();

    // Outcome of the last TrackerGetEEPROM / TrackerGetRAM that got as far as its attempts
    // (false when none did), its system error text, and of the last TrackerSetEEPROM. Tools use
    // these; the designed commands themselves return nothing.
    bool LastEEPROMReadOk() const { return lastReadOk_; }
    // Outcome of the last command that ran (false when its device was missing): the reply was
    // read (on, off, reset centre), no error text (set centre), every report was written
    // (LEDs, restarts, clear, calibration, bootloader), the block was read or written.
    bool LastCommandOk() const { return lastCommandOk_; }
    QString LastReadErrorText() const { return lastReadError_; }
    bool LastEEPROMWriteOk() const { return lastWriteOk_; }

    // ---- Live monitoring ---------------------------------------------------------------------

    // One histogram poll while the indicator page is showing. Skips its tick (timer left
    // running) while the tracker channel is busy.
    void tmHistoTimer();
    // One histogram exchange with the tracker: request 0x1B with two random words, 16 ms, reply
    // bytes 2-3. False when the tracker is missing, busy with another exchange, or the reply
    // could not be read; `value` is then unchanged.
    bool TrackerReadHistogram(int& value);
    // Controller polling (bindings issue): reads the controllers and feeds SetLbAxis. Empty now.
    void tmJoyPollTimer();
    // Axis values of the tracker's own game controller: to the indicator page when it exists.
    void SetLbAxis(int X, int Y);

    // The indicator page's test mode (its TrackerToTest / TrackerOffTest delegate here).
    TIndicatorTestMode RavadOroraTest{*this};

    // ---- One exchange per channel ------------------------------------------------------------

    bool ChannelBusy(core::Channel channel) const { return guard_.Busy(channel); }
    // Runs `work` now, or right after the exchange in progress on `channel` ends. A page that
    // uses a command's result (Raw after a read) wraps its whole sequence in this.
    void WhenChannelFree(core::Channel channel, std::function<void()> work);
    core::ExchangeGuard& Exchanges() { return guard_; }

    // ---- Placeholders of later parts, called in the designed order ---------------------------

    void SetLanguage();                               // language set-up
    void LoadProfile(const QString& ProfileName);     // profile "Default" at start-up
    int SaveProfile(bool Ask, const QString& Caller); // 6 = written or nothing to write
    void BuildJoystickList();                         // controller list; starts the polls
    void SetHotkeyActive(HotKeyRec& Hotkey);          // bindings issue

    // ---- Fields ------------------------------------------------------------------------------

    QTimer tmExit;     // 500 ms, off: fatal start-up error exit
    QTimer tmJoyPoll;  // 1 ms, off: controller polling
    QTimer tmHisto;    // 50 ms, off: histogram poll
    QTimer tmCheckUSB; // 2000 ms, on from creation: rescan while a device is missing

    bool FirstRunTracker = true;
    std::unique_ptr<platform::HidController> Hidctl;
    QString PathToImages;
    QString PathToProfiles;
    QString LangExt;
    QString SkinExt;
    QString DeviceName;
    std::unique_ptr<core::IniDocument> DeviceInf;
    std::unique_ptr<core::IniDocument> CurrentProfile;
    std::unique_ptr<core::IniDocument> LangIni;
    platform::HidDevice* DestHid = nullptr; // checked-out tracker, owned by Hidctl
    platform::HidDevice* SrcHid = nullptr;  // checked-out indicator, owned by Hidctl
    std::unique_ptr<TynqHidDevice> TrackYnqHid;
    std::unique_ptr<TynqHidDevice> RavadOroraYnqHid;
    QString TrackJoyName;
    uint16_t DestVid = 0, DestPid = 0;
    uint16_t SrcBootButton = 0, DestBootButton = 0;
    uint16_t SrcVid = 0, SrcPid = 0;
    uint32_t DestBufLen = 0;
    int BrightLedBlue = 255, BrightLedRed = 255, BrightLedIR = 125;
    ynq::TDataArray Raw{};
    QString SrcFmwVer, DestFmwVer;
    bool YNQ_BOOT = false;
    bool Track_Need_Read = true;
    int Img_error_1 = 0, Img_error_2 = 0, Img_error_3 = 0;
    int HID_Read_Interval = 0, HID_Read_Count = 0;
    bool AssigningButton = false;
    int DebugLevel = 0;
    // Virtual-key code of the system's debugger hotkey. Linux has no such system setting, so it
    // stays F12 (123).
    int HotKeySystemDebug = 123;
    std::vector<TJoyStatus> AttachedJoylist;
    QString ErrMsg;
    std::array<HotKeyRec, 5> HotKeys{};
    std::unique_ptr<TdxInputManager> InputManager;

    // The configuration file the core read (or looked for).
    QString ConfigPath() const { return configPath_; }

signals:
    // Every SplashLogMessage, in order (0 and the final 100 come from the entry point).
    void splashProgress(int percent);
    // Every LogMessage line, also while the service page does not exist.
    void messageLogged(const QString& line);
    // A device scan wrote the status lines.
    void statusLinesChanged();

private:
    enum class Role { Tracker, Indicator };

    bool IsTracker(const platform::HidDevice& d) const;
    bool IsIndicator(const platform::HidDevice& d) const;
    // Queues `self` when `channel` is busy; true when queued.
    bool DeferIfBusy(core::Channel channel, void (TDmTrackCpl::*self)());
    // Frees a role's channel and checks its device in; while the channel is busy both wait for
    // the exchange to end. The role is empty at once.
    void RetireRole(Role role);
    void FreeRetired(core::Channel channel);
    void CreateInputManager();
    void CreateHidController();
    void ReadConfiguration();

    // Command bodies, run with the channel held by the caller.
    bool WriteShort(TynqHidDevice& ch, uint8_t code);
    bool ShortExchange(TynqHidDevice& ch, uint8_t code);
    void WriteOnly(uint8_t code);
    void GotoBoot(core::Channel channel);
    void TrackerOff(uint8_t code);
    void ReadBlock(uint8_t code, int attempts, bool retrySleep, bool touchNeedRead);

    TCoreOptions options_;
    core::CoreView defaultView_;
    core::CoreView* view_ = &defaultView_;
    core::ExchangeGuard guard_;
    std::array<bool, core::kPageCount> pages_{};
    bool created_ = false;
    bool destroyed_ = false;
    QString configPath_;
    QString lbTrackerName_, lbIndicatorName_;
    bool lampVisible_ = false;
    bool lastReadOk_ = false;
    QString lastReadError_;
    bool lastWriteOk_ = false;
    bool lastCommandOk_ = false;

    bool FActiveButtons = true;
    bool FProfileChanged = false;
    bool FFlgOffCenter = true;
    bool FTrackerOnState = false;

    struct Retired {
        std::unique_ptr<TynqHidDevice> channel;
        platform::HidDevice* device = nullptr;
    };
    std::array<std::vector<Retired>, 2> retired_;
    // Devices with a role's identifiers but no feature report: checked out, never used.
    std::vector<platform::HidDevice*> unusedDevices_;
};
