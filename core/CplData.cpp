// TDmTrackCpl: creation, destruction, properties, log and the fatal start-up error exit.
#include "core/CplData.h"

#include "core/Configuration.h"

#include <QCoreApplication>

#include <utility>

TCoreOptions TCoreOptions::FromProcess() {
    TCoreOptions o;
    o.ExecutablePath = QCoreApplication::applicationFilePath();
    o.Arguments = QCoreApplication::arguments().mid(1);
    return o;
}

TDmTrackCpl::TDmTrackCpl(TCoreOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    if (options_.ExecutablePath.isEmpty())
        options_.ExecutablePath = QCoreApplication::applicationFilePath();
    if (options_.View)
        view_ = options_.View;

    tmExit.setInterval(500);
    tmJoyPoll.setInterval(1);
    tmHisto.setInterval(50);
    tmCheckUSB.setInterval(2000);
    connect(&tmExit, &QTimer::timeout, this, &TDmTrackCpl::tmExitTimer);
    connect(&tmJoyPoll, &QTimer::timeout, this, &TDmTrackCpl::tmJoyPollTimer);
    connect(&tmHisto, &QTimer::timeout, this, &TDmTrackCpl::tmHistoTimer);
    connect(&tmCheckUSB, &QTimer::timeout, this, &TDmTrackCpl::tmCheckUSBTimer);

    guard_.OnReleased = [this](core::Channel c) { FreeRetired(c); };
}

TDmTrackCpl::~TDmTrackCpl() {
    if (created_ && !destroyed_)
        DataModuleDestroy();
    // The components go after the handler: timers stop, the HID controller closes its devices.
    tmExit.stop();
    tmJoyPoll.stop();
    tmHisto.stop();
    tmCheckUSB.stop();
    guard_.DropPending();
    TrackYnqHid.reset();
    RavadOroraYnqHid.reset();
    for (auto& list : retired_)
        list.clear();
    if (Hidctl)
        Hidctl->disconnect(this);
    Hidctl.reset();
}

bool TDmTrackCpl::PageExists(core::Page page) const {
    return pages_[static_cast<std::size_t>(page)];
}

void TDmTrackCpl::DataModuleCreate() {
    if (created_)
        return;
    created_ = true;
    tmCheckUSB.start(); // enabled from the core's creation on

    // 1. Defaults.
    Hidctl.reset();
    ErrMsg.clear();
    TrackYnqHid.reset();
    RavadOroraYnqHid.reset();
    FirstRunTracker = true;
    AssigningButton = false;
    YNQ_BOOT = false;
    Track_Need_Read = true;
    DebugLevel = 0;
    HotKeySystemDebug = 123;

    // 2. The system's debugger hotkey: Linux keeps no such setting, so F12 (123) stays.

    // 3. Command line.
    if (core::HasDebugArgument(options_.Arguments))
        DebugLevel = 1;

    // 4. Bindings on (no page exists yet, so only the field changes), off-mode, brightness.
    SetActiveButtons(true);
    FFlgOffCenter = true;
    BrightLedBlue = 255;
    BrightLedRed = 255;
    BrightLedIR = 125;

    // 5. Input manager.
    CreateInputManager();

    // 6. Configuration.
    ReadConfiguration();

    // 7, 8. Folders; "DataPathes" only when <exe>.Ini exists beside the executable.
    const QString folder = core::ExecutableFolder(options_.ExecutablePath);
    PathToImages = folder + QStringLiteral("Images/");
    PathToProfiles = folder + QStringLiteral("Profiles/");
    SkinExt.clear();
    DeviceName.clear();
    DeviceInf.reset();
    LangIni.reset();
    if (core::DataPathesFileExists(options_.ExecutablePath)) {
        core::IniDocument config;
        if (core::FileExists(configPath_))
            config.LoadFile(configPath_);
        PathToImages =
            config.ReadString(QStringLiteral("DataPathes"), QStringLiteral("Images"), PathToImages);
        PathToProfiles = config.ReadString(QStringLiteral("DataPathes"), QStringLiteral("Profiles"),
                                           PathToProfiles);
    }

    // 9. Language and the profile "Default".
    CurrentProfile.reset();
    SetProfileChanged(false);
    SetLanguage();
    LoadProfile(QStringLiteral("Default"));

    // 10. Pages and dialogs, each followed by its splash progress.
    struct Step {
        core::Page page;
        int progress;
    };
    static constexpr Step kPages[] = {
        {core::Page::Buttons, 10},   {core::Page::Profiles, 15},    {core::Page::CreateFile, 20},
        {core::Page::SaveQuery, 25}, {core::Page::SaveQuery2b, 30}, {core::Page::RavadOrora, 35},
        {core::Page::About, 40},     {core::Page::Sets, 45},        {core::Page::OpenGL, 100},
    };
    for (const Step& step : kPages) {
        pages_[static_cast<std::size_t>(step.page)] = view_->CreatePage(step.page, *this);
        if (step.page == core::Page::About && PageExists(core::Page::About)) {
            if (SrcBootButton == 0)
                view_->HideRavadOroraGoBootButton();
            if (DestBootButton == 0)
                view_->HideTrackerGoBootButton();
        }
        SplashLogMessage(step.progress);
    }

    // 11. Bindings page.
    if (PageExists(core::Page::Buttons)) {
        view_->AssignActions();
        view_->UpdateSettings(false);
    }

    // 12. Indicator page sliders.
    if (PageExists(core::Page::RavadOrora))
        view_->SetBrightnessSliders(BrightLedBlue, BrightLedRed, BrightLedIR);

    // 13. HID controller and its first scan.
    CreateHidController();
}

void TDmTrackCpl::ReadConfiguration() {
    configPath_ = core::ConfigFilePath(options_.ExecutablePath, options_.Arguments);
    if (!core::FileExists(configPath_)) {
        ErrMsg = core::kNoConfigMessage;
        tmExit.start();
        return;
    }
    if (InputManager->Initialize() < 0) {
        ErrMsg = core::kDirectXErrorMessage;
        tmExit.start();
    }
    BuildJoystickList();
    DestHid = nullptr;
    SrcHid = nullptr;

    core::IniDocument config;
    QString error;
    if (!config.LoadFile(configPath_, &error))
        LogMessage(error); // unreadable (permissions): every value takes its default
    const auto word = [&](const char* section, const char* key) {
        return static_cast<uint16_t>(
            config.ReadInteger(QString::fromLatin1(section), QString::fromLatin1(key), 0) & 0xFFFF);
    };
    DestVid = word("Dest", "VID");
    DestPid = word("Dest", "PID");
    SrcVid = word("Source", "VID");
    SrcPid = word("Source", "PID");
    SrcFmwVer = config.ReadString(QStringLiteral("Source"), QStringLiteral("FmwVer"), QString());
    DestFmwVer = config.ReadString(QStringLiteral("Dest"), QStringLiteral("FmwVer"), QString());
    SrcBootButton = word("Source", "BootButton");
    DestBootButton = word("Dest", "BootButton");
    // A negative pause would be a sleep without end: it counts as no pause.
    HID_Read_Interval = std::max(
        0, config.ReadInteger(QStringLiteral("HID_Read"), QStringLiteral("Interval"), 500));
    HID_Read_Count = config.ReadInteger(QStringLiteral("HID_Read"), QStringLiteral("Count"), 5);
}

void TDmTrackCpl::CreateInputManager() {
    InputManager.reset();
    if (options_.InputManagerFactory)
        InputManager = options_.InputManagerFactory();
    if (!InputManager)
        InputManager = std::make_unique<TdxInputManager>();
    InputManager->SetExtendedJoystickFormat();
}

void TDmTrackCpl::CreateHidController() {
    if (Hidctl) {
        Hidctl->disconnect(this);
        Hidctl.reset();
    }
    if (options_.HidFactory)
        Hidctl = options_.HidFactory();
    if (!Hidctl)
        return;
    connect(Hidctl.get(), &platform::HidController::deviceChanged, this,
            &TDmTrackCpl::HidctlDeviceChange);
    connect(Hidctl.get(), &platform::HidController::deviceUnplugged, this,
            &TDmTrackCpl::HidctlDeviceUnplug);
    connect(Hidctl.get(), &platform::HidController::problem, this, &TDmTrackCpl::LogMessage);
    Hidctl->deviceChange();
}

void TDmTrackCpl::DataModuleDestroy() {
    if (!created_ || destroyed_)
        return;
    destroyed_ = true;
    tmCheckUSB.stop();
    tmExit.stop();

    // 1. Pending profile changes are written without asking.
    SaveProfile(false, QStringLiteral("TDmTrackCpl.DataModuleDestroy"));
    // 2. Tracker off by the off-mode; the indicator ends dark.
    if (options_.SwitchOffOnExit) {
        if (FFlgOffCenter)
            TrackerOffReturnCenter();
        else
            TrackerOffCurrentValue();
    }
    tmJoyPoll.stop();
    tmHisto.stop();
    guard_.DropPending();
    // 3. Documents.
    CurrentProfile.reset();
    LangIni.reset();
    // 4. Channels (the devices stay checked out until the controller goes).
    TrackYnqHid.reset();
    RavadOroraYnqHid.reset();
    // 5. Controller list.
    AttachedJoylist.clear();
    // 6. Input manager.
    InputManager.reset();
}

void TDmTrackCpl::tmExitTimer() {
    tmExit.stop();
    view_->ShowMessage(ErrMsg);
    view_->TrayExit();
}

void TDmTrackCpl::LogMessage(const QString& S) {
    emit messageLogged(S);
    if (PageExists(core::Page::About))
        view_->LogMessage(S);
}

void TDmTrackCpl::SplashLogMessage(int S) {
    emit splashProgress(S);
    view_->SplashLogMessage(S);
}

void TDmTrackCpl::SetActiveButtons(bool value) {
    if (value == FActiveButtons)
        return;
    FActiveButtons = value;
    if (!PageExists(core::Page::Buttons) || !view_->MainWindowExists())
        return;
    if (value)
        view_->UpdateSettings(true);
    else
        view_->DeactivateHotKeys();
    view_->SetTrayOnOffChecked(value);
}

void TDmTrackCpl::SetFlgOffCenter(bool value) {
    if (value == FFlgOffCenter)
        return;
    FFlgOffCenter = value;
    if (PageExists(core::Page::Buttons))
        view_->ShowOffMode(value);
}

void TDmTrackCpl::SetTrackerOnState(bool value) {
    if (value != FTrackerOnState) {
        FTrackerOnState = value;
        if (PageExists(core::Page::Buttons))
            view_->ShowOnOffButtons(value);
    }
    lampVisible_ = TrackYnqHid && FTrackerOnState;
    if (view_->MainWindowExists()) {
        view_->SetJvImageTrackerOnVisible(false);
        if (lampVisible_)
            view_->SetJvImageTrackerOnVisible(true);
        else if (PageExists(core::Page::RavadOrora))
            view_->SetLbAxisOff();
    }
}

void TDmTrackCpl::WhenChannelFree(core::Channel channel, std::function<void()> work) {
    guard_.RunOrDefer(channel, std::move(work));
}
