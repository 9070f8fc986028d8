#pragma once
// TfmnoxQuivraCplMain: the program's main window. A fixed 763 x 559 window with the device status
// header, the five navigation image pairs, the page panel PNPage, the autostart check box and the
// "Ок" button. It owns the tray icon with its menu and the five application hotkeys; closing it
// hides it to the tray, and only "Выход" or the end of the session ends the program.

#include "platform/desktop/Autostart.h"

#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class TDmTrackCpl;
class TJvApplicationHotKey;
class TJvImage;
class TJvImgBtn;
class TfmnoxAbout;
class TfmnoxQuivraCplButtons;
class TfmnoxQuivraCplProfiles;
class TfmnoxQuivraCplRavadOrora;
class TfmnoxQuivraCplSets;

namespace platform {
class GlobalHotkeys;
}

// The web address behind the maker's logo.
inline constexpr const char* kMakerSite = "https://quivra.example.org/";
// Name of the autostart entry.
inline constexpr const char* kAutoRunValueName = "noxQuivraCPL";

class TfmnoxQuivraCplMain : public QWidget {
    Q_OBJECT
public:
    // `hotkeys` is the system-wide hotkey service (owned by the window); `autostart` where the
    // autostart entry lives.
    TfmnoxQuivraCplMain(std::unique_ptr<platform::GlobalHotkeys> hotkeys,
                        platform::Autostart autostart = platform::Autostart(),
                        QWidget* parent = nullptr);
    ~TfmnoxQuivraCplMain() override;

    // The core (not owned) and the pages it had created (owned elsewhere). The window touches
    // neither before they are set; SetCore(nullptr) before the core goes away.
    void SetCore(TDmTrackCpl* core);
    void SetPages(TfmnoxQuivraCplButtons* buttons, TfmnoxQuivraCplProfiles* profiles,
                  TfmnoxQuivraCplRavadOrora* ravadOrora, TfmnoxAbout* about,
                  TfmnoxQuivraCplSets* sets);

    // ---- Page hosting and navigation ----------------------------------------------------------
    void LoadSubForm(QWidget* Instance);
    void SetheadertoDefault();
    void JvImageHotkeyClick();
    void JvImageTrackClick();
    void JvImageSetsClick();
    void JvImageAboutClick();
    void JvImageProfilesClick();
    // The page form now hosted in PNPage, or null.
    QWidget* HostedPage() const;

    // ---- Showing, hiding, closing
    // ---------------------------------------------------------------- Hides the window to the
    // tray. Without a tray the window stays on screen (and the user is told once why), so that a
    // running program can always be reached.
    void HideApplication();
    void ShowApplication();
    // The show/hide toggle ("Ок", TrayMenu): a visible window hides (ending the indicator test
    // mode), a hidden one shows.
    void mnuShowHideClick();
    void JvTrayIcon1Click();
    void TraySettingsExecute();
    void TrayOnOffExecute();
    void TrayExitExecute();
    // Second start of the program: dwData = 1 brings the window forward on the bindings page.
    void noxWMCopyData(quint32 dwData);
    // The session ends: the close is allowed.
    void WMQueryEndSession();
    bool AllowClose = false;
    // True once a close was accepted: the program is to end (also when that happened during
    // start-up, before the message loop ran).
    bool Closed() const { return closed_; }
    // True when a system tray can take the icon right now.
    bool TrayAvailable() const;

    // ---- Autostart ------------------------------------------------------------------------------
    void UpdateAutoRunCheck();
    void JvCheckBox1Click();
    void JvImageLogoClick();

    // ---- Hotkeys --------------------------------------------------------------------------------
    void JvApplicationHotKey1HotKey();
    void JvApplicationHotKey2HotKey();
    void JvApplicationHotKey3HotKey();
    void JvApplicationHotKey4HotKey();
    void JvApplicationHotKey5HotKey();
    // Hands the key that fired `Sender` on to the application in the foreground.
    void PassHotKeyOn(TJvApplicationHotKey* Sender);
    // Deactivates hotkeys 1 … 5 in this order.
    void DeactivateHotKeys();
    std::array<TJvApplicationHotKey*, 5> HotKeyComponents() const;

    // ---- Written by the core
    // ---------------------------------------------------------------------
    void SetTrayOnOffChecked(bool checked);

    // Components; language files find them by these names.
    QMenu* popTrayIcon = nullptr;
    QSystemTrayIcon* JvTrayIcon1 = nullptr;
    QObject* ActionList1 = nullptr;
    QAction* TrayMenu = nullptr;
    QAction* TraySettings = nullptr;
    QAction* TrayOnOff = nullptr;
    QAction* TrayExit = nullptr;
    TJvImage* JvImageHotkey = nullptr;
    TJvImage* JvImageHotkeyActive = nullptr;
    TJvImage* JvImageTrack = nullptr;
    TJvImage* JvImageTrackActive = nullptr;
    TJvImage* JvImageSets = nullptr;
    TJvImage* JvImageSetsActive = nullptr;
    TJvImage* JvImageAbout = nullptr;
    TJvImage* JvImageAboutActive = nullptr;
    TJvImage* JvImageProfiles = nullptr;
    TJvImage* JvImageProfilesActive = nullptr;
    QWidget* PNPage = nullptr;
    QLabel* JvBackground1 = nullptr;
    QLabel* lbTracker = nullptr;
    QLabel* lbIndicator = nullptr;
    QLabel* lbTrackerName = nullptr;
    QLabel* lbIndicatorName = nullptr;
    TJvImage* JvImageTrackerOn = nullptr;
    TJvImage* JvImageLogo = nullptr;
    QCheckBox* JvCheckBox1 = nullptr;
    TJvImgBtn* JvMbOk = nullptr;
    TJvApplicationHotKey* JvApplicationHotKey1 = nullptr;
    TJvApplicationHotKey* JvApplicationHotKey2 = nullptr;
    TJvApplicationHotKey* JvApplicationHotKey3 = nullptr;
    TJvApplicationHotKey* JvApplicationHotKey4 = nullptr;
    TJvApplicationHotKey* JvApplicationHotKey5 = nullptr;

    platform::GlobalHotkeys& Hotkeys() const { return *hotkeys_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildHeader();
    void BuildNavigation();
    void BuildFooter();
    void BuildTray();
    void BuildHotKeys();
    void SwitchPage(QWidget* page, TJvImage* inactive, TJvImage* active, bool indicator);
    void SayNoTray();
    void EndIndicatorTest();

    std::unique_ptr<platform::GlobalHotkeys> hotkeys_;
    // The hotkey components release their registrations with the service, so they go first.
    std::array<std::unique_ptr<TJvApplicationHotKey>, 5> hotKeyOwners_;
    platform::Autostart autostart_;
    TDmTrackCpl* core_ = nullptr;
    TfmnoxQuivraCplButtons* buttons_ = nullptr;
    TfmnoxQuivraCplProfiles* profiles_ = nullptr;
    TfmnoxQuivraCplRavadOrora* ravadOrora_ = nullptr;
    TfmnoxAbout* about_ = nullptr;
    TfmnoxQuivraCplSets* sets_ = nullptr;
    bool toldNoTray_ = false;
    bool closed_ = false;
};
