// The main window: layout, page hosting and navigation, showing, hiding and closing.
#include "CplMain.h"

#include "ApplicationHotKey.h"
#include "PagePlaceholders.h"
#include "PageRavadOrora.h"
#include "PageSets.h"
#include "PanelHosting.h"
#include "Skin.h"
#include "SkinWidgets.h"
#include "core/CplData.h"
#include "platform/desktop/GlobalHotkeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>

#include <functional>

TfmnoxQuivraCplMain::TfmnoxQuivraCplMain(std::unique_ptr<platform::GlobalHotkeys> hotkeys,
                                         platform::Autostart autostart, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      hotkeys_(std::move(hotkeys)), autostart_(std::move(autostart)) {
    setObjectName(QStringLiteral("fmnoxQuivraCplMain"));
    setWindowTitle(QStringLiteral("Quivra Control Center"));
    setWindowIcon(QIcon(Skin::Picture(QStringLiteral("icon"))));
    setFixedSize(763, 559);
    Skin::ApplyFormLook(*this);

    JvBackground1 = new QLabel(this);
    JvBackground1->setObjectName(QStringLiteral("JvBackground1"));
    JvBackground1->setPixmap(Skin::Picture(QStringLiteral("background")));
    JvBackground1->setGeometry(0, 0, 763, 559);

    PNPage = new QWidget(this);
    PNPage->setObjectName(QStringLiteral("PNPage"));
    PNPage->setGeometry(0, 147, 763, 317);
    Skin::ApplyFormLook(*PNPage);

    BuildHeader();
    BuildNavigation();
    BuildFooter();
    BuildTray();
    BuildHotKeys();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { WMQueryEndSession(); });
    FormCreate();
}

TfmnoxQuivraCplMain::~TfmnoxQuivraCplMain() {
    core_ = nullptr;
    // The pages belong to their owner, not to the panel that hosts one of them.
    YnqUtils::ClearPanel(PNPage);
}

void TfmnoxQuivraCplMain::BuildHeader() {
    const QFont bold = Skin::FormFont(11, true);
    lbTracker = new QLabel(QStringLiteral("Трекер:"), this);
    lbTracker->setObjectName(QStringLiteral("lbTracker"));
    lbTracker->setFont(bold);
    lbTracker->setGeometry(49, 26, 52, 16);
    lbTracker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbIndicator = new QLabel(QStringLiteral("Индикатор:"), this);
    lbIndicator->setObjectName(QStringLiteral("lbIndicator"));
    lbIndicator->setFont(bold);
    lbIndicator->setGeometry(30, 47, 71, 16);
    lbIndicator->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const QFont plain = Skin::FormFont(11);
    lbTrackerName = new QLabel(this);
    lbTrackerName->setObjectName(QStringLiteral("lbTrackerName"));
    lbTrackerName->setFont(plain);
    lbTrackerName->setGeometry(103, 26, 405, 16);
    lbIndicatorName = new QLabel(this);
    lbIndicatorName->setObjectName(QStringLiteral("lbIndicatorName"));
    lbIndicatorName->setFont(plain);
    lbIndicatorName->setGeometry(103, 47, 405, 16);

    JvImageTrackerOn =
        new TJvImage(QStringLiteral("JvImageTrackerOn"), QStringLiteral("lamp_on"), this);
    JvImageTrackerOn->move(30, 25);
    JvImageTrackerOn->hide();

    JvImageLogo = new TJvImage(QStringLiteral("JvImageLogo"), QStringLiteral("logo"), this);
    JvImageLogo->move(539, 33);
    JvImageLogo->setToolTip(QString::fromLatin1(kMakerSite));
    JvImageLogo->setCursor(Qt::PointingHandCursor);
    connect(JvImageLogo, &TJvImage::clicked, this, [this] { JvImageLogoClick(); });
}

void TfmnoxQuivraCplMain::BuildNavigation() {
    // Each pair: the inactive image (it reacts to clicks) with the active one exactly over it.
    auto pair = [this](const char* name, const char* picture, int x, TJvImage*& inactive,
                       TJvImage*& active, std::function<void()> click) {
        inactive = new TJvImage(QString::fromLatin1(name), QString::fromLatin1(picture), this);
        inactive->move(x, 106);
        inactive->setCursor(Qt::PointingHandCursor);
        active = new TJvImage(QString::fromLatin1(name) + QStringLiteral("Active"),
                              QString::fromLatin1(picture) + QStringLiteral("_active"), this);
        active->move(x, 106);
        active->hide();
        connect(inactive, &TJvImage::clicked, this, std::move(click));
    };
    pair("JvImageHotkey", "nav_hotkey", 86, JvImageHotkey, JvImageHotkeyActive,
         [this] { JvImageHotkeyClick(); });
    pair("JvImageTrack", "nav_track", 205, JvImageTrack, JvImageTrackActive,
         [this] { JvImageTrackClick(); });
    pair("JvImageSets", "nav_sets", 324, JvImageSets, JvImageSetsActive,
         [this] { JvImageSetsClick(); });
    pair("JvImageAbout", "nav_about", 443, JvImageAbout, JvImageAboutActive,
         [this] { JvImageAboutClick(); });
    pair("JvImageProfiles", "nav_profiles", 599, JvImageProfiles, JvImageProfilesActive,
         [this] { JvImageProfilesClick(); });
    // The one active image that reacts: the bindings button hosts its page again.
    connect(JvImageHotkeyActive, &TJvImage::clicked, this, [this] { JvImageHotkeyClick(); });
}

void TfmnoxQuivraCplMain::BuildFooter() {
    JvCheckBox1 = new QCheckBox(QStringLiteral("Автозапуск программы"), this);
    JvCheckBox1->setObjectName(QStringLiteral("JvCheckBox1"));
    JvCheckBox1->setFont(Skin::FormFont(12));
    JvCheckBox1->move(30, 504);
    JvCheckBox1->adjustSize();
    JvCheckBox1->setCursor(Qt::PointingHandCursor);
    connect(JvCheckBox1, &QCheckBox::clicked, this, [this] { JvCheckBox1Click(); });

    JvMbOk = new TJvImgBtn(QStringLiteral("JvMbOk"), QStringLiteral("Ок"),
                           QStringLiteral("button_145x35"), this);
    JvMbOk->move(583, 496);
    connect(JvMbOk, &TJvImgBtn::clicked, this, [this] { mnuShowHideClick(); });
}

void TfmnoxQuivraCplMain::FormCreate() {
    AllowClose = false;
    UpdateAutoRunCheck();
}

void TfmnoxQuivraCplMain::SetCore(TDmTrackCpl* core) {
    core_ = core;
}

void TfmnoxQuivraCplMain::SetPages(TfmnoxQuivraCplButtons* buttons,
                                   TfmnoxQuivraCplProfiles* profiles,
                                   TfmnoxQuivraCplRavadOrora* ravadOrora, TfmnoxAbout* about,
                                   TfmnoxQuivraCplSets* sets) {
    buttons_ = buttons;
    profiles_ = profiles;
    ravadOrora_ = ravadOrora;
    about_ = about;
    sets_ = sets;
}

// ---- Page hosting and navigation -----------------------------------------------------------

void TfmnoxQuivraCplMain::LoadSubForm(QWidget* Instance) {
    if (Instance) {
        YnqUtils::PlaceFormInPanel(Instance, PNPage, YnqUtils::kPlaceFill);
    }
}

QWidget* TfmnoxQuivraCplMain::HostedPage() const {
    const auto children = PNPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return children.isEmpty() ? nullptr : children.first();
}

void TfmnoxQuivraCplMain::SetheadertoDefault() {
    const std::pair<TJvImage*, TJvImage*> pairs[] = {{JvImageHotkey, JvImageHotkeyActive},
                                                     {JvImageTrack, JvImageTrackActive},
                                                     {JvImageSets, JvImageSetsActive},
                                                     {JvImageProfiles, JvImageProfilesActive},
                                                     {JvImageAbout, JvImageAboutActive}};
    for (auto [inactive, active] : pairs) {
        if (!inactive->isHidden() || !active->isHidden()) {
            active->hide();
            inactive->show();
        }
    }
}

void TfmnoxQuivraCplMain::SwitchPage(QWidget* page, TJvImage* inactive, TJvImage* active,
                                     bool indicator) {
    LoadSubForm(page);
    SetheadertoDefault();
    active->show();
    inactive->hide();
    if (!ravadOrora_) {
        return;
    }
    if (indicator) {
        ravadOrora_->TrackerToTest(false);
    } else {
        ravadOrora_->TrackerOffTest(false);
    }
}

void TfmnoxQuivraCplMain::JvImageHotkeyClick() {
    SwitchPage(buttons_, JvImageHotkey, JvImageHotkeyActive, false);
}
void TfmnoxQuivraCplMain::JvImageTrackClick() {
    SwitchPage(ravadOrora_, JvImageTrack, JvImageTrackActive, true);
}
void TfmnoxQuivraCplMain::JvImageSetsClick() {
    SwitchPage(sets_, JvImageSets, JvImageSetsActive, false);
}
void TfmnoxQuivraCplMain::JvImageAboutClick() {
    SwitchPage(about_, JvImageAbout, JvImageAboutActive, false);
}
void TfmnoxQuivraCplMain::JvImageProfilesClick() {
    SwitchPage(profiles_, JvImageProfiles, JvImageProfilesActive, false);
}

// ---- Showing, hiding, closing ----------------------------------------------------------------

bool TfmnoxQuivraCplMain::TrayAvailable() const {
    return JvTrayIcon1 && JvTrayIcon1->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TfmnoxQuivraCplMain::HideApplication() {
    if (TrayAvailable()) {
        hide();
        return;
    }
    // Nothing could bring a hidden window back: keep it on screen.
    ShowApplication();
    SayNoTray();
}

void TfmnoxQuivraCplMain::SayNoTray() {
    if (toldNoTray_) {
        return;
    }
    toldNoTray_ = true;
    qInfo("no system tray: the main window stays on screen");
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quivra Control Center"),
                                QStringLiteral("Системный трей (область уведомлений) недоступен, "
                                               "поэтому окно программы остаётся на экране.\n"
                                               "Кнопка «Ок» сворачивает окно, а закрытие окна "
                                               "завершает программу."),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("NoTrayMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void TfmnoxQuivraCplMain::ShowApplication() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void TfmnoxQuivraCplMain::EndIndicatorTest() {
    if (ravadOrora_ && core_) {
        ravadOrora_->TrackerOffTest(false);
    }
}

void TfmnoxQuivraCplMain::mnuShowHideClick() {
    if (isVisible() && !isMinimized()) {
        if (TrayAvailable()) {
            HideApplication();
        } else {
            showMinimized(); // no tray to hide into
        }
        EndIndicatorTest();
    } else {
        ShowApplication();
    }
}

void TfmnoxQuivraCplMain::showEvent(QShowEvent* event) {
    // FormShow: the profiles page has no navigation button while the window is on screen.
    JvImageProfiles->hide();
    JvImageProfilesActive->hide();
    QWidget::showEvent(event);
}

void TfmnoxQuivraCplMain::hideEvent(QHideEvent* event) {
    // Every way of hiding the window ends the indicator test mode.
    if (!event->spontaneous()) {
        EndIndicatorTest();
    }
    QWidget::hideEvent(event);
}

void TfmnoxQuivraCplMain::closeEvent(QCloseEvent* event) {
    if (!AllowClose && TrayAvailable()) {
        event->ignore();
        HideApplication();
        return;
    }
    if (!AllowClose) {
        // Without a tray the close box is the only way out.
        AllowClose = true;
        if (core_) {
            core_->tmJoyPoll.stop();
        }
    }
    event->accept();
    closed_ = true;
    QCoreApplication::quit(); // ends the message loop; TQuivraApp::Exec also looks at Closed()
}

void TfmnoxQuivraCplMain::TrayExitExecute() {
    AllowClose = true;
    if (core_) {
        core_->tmJoyPoll.stop();
    }
    close();
}

void TfmnoxQuivraCplMain::WMQueryEndSession() {
    AllowClose = true;
    close();
}

void TfmnoxQuivraCplMain::noxWMCopyData(quint32 dwData) {
    if (dwData != 1) {
        return;
    }
    JvImageHotkeyClick();
    ShowApplication();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}
