#include "QuivraApp.h"

#include "CplMain.h"
#include "GuiView.h"
#include "PageSets.h"
#include "SimPanel.h"
#include "Skin.h"
#include "Splash.h"
#include "core/CplData.h"
#include "core/HidBackends.h"
#include "core/SingleInstance.h"
#include "platform/desktop/GlobalHotkeys.h"
#include "platform/desktop/SessionEnd.h"
#include "sim/SimHid.h"

#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>

TStartOptions TStartOptions::FromProcess() {
    TStartOptions options;
    options.ExecutablePath = QCoreApplication::applicationFilePath();
    options.Arguments = QCoreApplication::arguments().mid(1);
    options.Simulate = options.Arguments.removeAll(QStringLiteral("--simulate")) > 0;
    return options;
}

TQuivraApp::TQuivraApp(TStartOptions options) : options_(std::move(options)) {
    if (options_.ExecutablePath.isEmpty()) {
        options_.ExecutablePath = QCoreApplication::applicationFilePath();
    }
}

TQuivraApp::~TQuivraApp() {
    simPanel_.reset();
    if (view_ && view_->Sets()) {
        view_->Sets()->JvTimer1.stop();
    }
    if (main_) {
        main_->SetCore(nullptr);
    }
    sessionEnd_.reset();
    core_.reset(); // its shutdown still writes into the window and the pages
    view_.reset();
    splash_.reset();
    main_.reset();
}

std::unique_ptr<platform::HidController> TQuivraApp::CreateHid() {
    if (!options_.Simulate) {
        auto system = core::CreateSystemHidController();
        if (!system) {
            qWarning("this build has no HID backend: no devices will be found");
        }
        return system;
    }
    auto controller = core::CreateSimHidController();
    sim_ = controller.get();
    if (options_.PrepareSimulator) {
        options_.PrepareSimulator(*controller);
    }
    return controller;
}

TQuivraApp::StartResult TQuivraApp::Start() {
    // Only one instance: a second start hands over to the first one and ends unseen.
    if (options_.SingleInstance) {
        instance_ = std::make_unique<core::SingleInstance>(
            core::SingleInstance::InstanceNameFor(options_.ExecutablePath), options_.RuntimeFolder);
        switch (instance_->Claim()) {
        case core::SingleInstance::Role::Second:
            return StartResult::SecondInstance;
        case core::SingleInstance::Role::Failed:
            qWarning().noquote() << "single instance check unavailable:"
                                 << instance_->errorString();
            break;
        case core::SingleInstance::Role::First:
            break;
        }
    }

    // 1. The application.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quivra Control Center"));
    QApplication::setQuitOnLastWindowClosed(false); // the program lives in the tray
    qApp->setStyleSheet(Skin::StyleSheet());

    // 2. The main window.
    main_ = std::make_unique<TfmnoxQuivraCplMain>(
        options_.HotkeysFactory ? options_.HotkeysFactory() : platform::CreateGlobalHotkeys());
    // The session ending (log-out, shutdown) allows the close, so the core's shutdown runs.
    sessionEnd_ = std::make_unique<platform::SessionEndWatcher>();
    QObject::connect(sessionEnd_.get(), &platform::SessionEndWatcher::sessionEnding, main_.get(),
                     [this] { main_->WMQueryEndSession(); });
    if (instance_) {
        QObject::connect(instance_.get(), &core::SingleInstance::handOverRequested, main_.get(),
                         [this] { main_->noxWMCopyData(1); });
    }

    // 3. The splash, painted at once and at every progress step.
    splash_ = std::make_unique<TfmnoxSplash>(nullptr, options_.SplashDraw);
    splash_->ShowProgress(0);

    // 4. The core; its creation handler finds the devices.
    view_ = std::make_unique<TGuiView>(*main_, splash_.get());
    TCoreOptions coreOptions;
    coreOptions.ExecutablePath = options_.ExecutablePath;
    coreOptions.Arguments = options_.Arguments;
    coreOptions.HidFactory = [this] { return CreateHid(); };
    coreOptions.View = view_.get();
    core_ = std::make_unique<TDmTrackCpl>(coreOptions);
    main_->SetCore(core_.get());
    core_->DataModuleCreate();

    // 5. Done loading.
    splash_->ShowProgress(100);
    splash_->hide();
    view_->SetSplash(nullptr);

    // 6. The orientation view is shown here once it exists.

    // 7. The indicator page.
    main_->JvImageTrackClick();

    // 8. Every run starts with the bindings switched off.
    core_->SetActiveButtons(false);
    main_->SetTrayOnOffChecked(core_->ActiveButtons());

    if (sim_) {
        simPanel_ = std::make_unique<TSimPanel>(*sim_);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            simPanel_->move(screen->availableGeometry().topLeft() + QPoint(24, 24));
        }
        simPanel_->show();
    }

    // 9. Into the tray.
    main_->HideApplication();

    // 10. A device in bootloader mode: the program does not run.
    if (core_->YNQ_BOOT) {
        view_->ShowMessage(core::kBootModeMessage);
        return StartResult::EndNow;
    }
    return StartResult::Running;
}

int TQuivraApp::Exec() {
    // "Выход" chosen while the start-up still ran (its device waits handle events) closed the
    // window before any loop could end: the program ends now instead of running on unseen.
    if (main_ && main_->Closed()) {
        return 0;
    }
    return QApplication::exec();
}
