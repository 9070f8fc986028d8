// The main window's services: tray icon and menu, autostart entry, logo link, application
// hotkeys with the key pass-through.
#include "CplMain.h"

#include "ApplicationHotKey.h"
#include "PagePlaceholders.h"
#include "Skin.h"
#include "SkinWidgets.h"
#include "core/CplData.h"
#include "platform/desktop/GlobalHotkeys.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QUrl>

#include <functional>

void TfmnoxQuivraCplMain::BuildTray() {
    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    auto makeAction = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, ActionList1);
        action->setObjectName(QString::fromLatin1(name));
        action->setProperty("category", QStringLiteral("Tray"));
        return action;
    };
    TrayMenu = makeAction("TrayMenu", QStringLiteral("Меню"));
    TraySettings = makeAction("TraySettings", QStringLiteral("Настройки"));
    TrayOnOff = makeAction("TrayOnOff", QStringLiteral("Включить / Выключить"));
    TrayOnOff->setCheckable(true);
    TrayExit = makeAction("TrayExit", QStringLiteral("Выход"));
    connect(TrayMenu, &QAction::triggered, this, [this] { mnuShowHideClick(); });
    connect(TraySettings, &QAction::triggered, this, [this] { TraySettingsExecute(); });
    // The check mark follows the master switch, not the click.
    connect(TrayOnOff, &QAction::triggered, this, [this] { TrayOnOffExecute(); });
    connect(TrayExit, &QAction::triggered, this, [this] { TrayExitExecute(); });

    popTrayIcon = new QMenu(this);
    popTrayIcon->setObjectName(QStringLiteral("popTrayIcon"));
    popTrayIcon->setFont(Skin::FormFont(12));
    popTrayIcon->addAction(TraySettings);
    popTrayIcon->addAction(TrayOnOff);
    popTrayIcon->addAction(TrayExit);

    JvTrayIcon1 = new QSystemTrayIcon(QIcon(Skin::Picture(QStringLiteral("icon"))), this);
    JvTrayIcon1->setObjectName(QStringLiteral("JvTrayIcon1"));
    JvTrayIcon1->setToolTip(QStringLiteral("Quivra Control Center"));
    JvTrayIcon1->setContextMenu(popTrayIcon);
    connect(JvTrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    JvTrayIcon1Click();
                }
            });
    JvTrayIcon1->show(); // active from creation
}

void TfmnoxQuivraCplMain::JvTrayIcon1Click() {
    TraySettings->trigger();
}

void TfmnoxQuivraCplMain::TraySettingsExecute() {
    ShowApplication();
    JvImageTrackClick();
}

void TfmnoxQuivraCplMain::TrayOnOffExecute() {
    if (core_) {
        core_->SetActiveButtons(!core_->ActiveButtons());
        SetTrayOnOffChecked(core_->ActiveButtons());
    }
}

void TfmnoxQuivraCplMain::SetTrayOnOffChecked(bool checked) {
    TrayOnOff->setChecked(checked);
}

// ---- Autostart ------------------------------------------------------------------------------

void TfmnoxQuivraCplMain::UpdateAutoRunCheck() {
    JvCheckBox1->setChecked(autostart_.IsAutoRun(QString::fromLatin1(kAutoRunValueName)));
}

void TfmnoxQuivraCplMain::JvCheckBox1Click() {
    if (!autostart_.SetAutoRun(QString::fromLatin1(kAutoRunValueName), JvCheckBox1->isChecked(),
                               QCoreApplication::applicationFilePath())) {
        qInfo().noquote() << "autostart entry not changed:" << autostart_.lastError();
    }
    UpdateAutoRunCheck(); // the box shows what is on disk
}

void TfmnoxQuivraCplMain::JvImageLogoClick() {
    QDesktopServices::openUrl(QUrl(JvImageLogo->toolTip()));
}

// ---- Hotkeys --------------------------------------------------------------------------------

void TfmnoxQuivraCplMain::BuildHotKeys() {
    const std::array<std::function<void()>, 5> handlers{
        [this] { JvApplicationHotKey1HotKey(); }, [this] { JvApplicationHotKey2HotKey(); },
        [this] { JvApplicationHotKey3HotKey(); }, [this] { JvApplicationHotKey4HotKey(); },
        [this] { JvApplicationHotKey5HotKey(); }};
    for (int i = 0; i < 5; ++i) {
        hotKeyOwners_[i] = std::make_unique<TJvApplicationHotKey>(
            QStringLiteral("JvApplicationHotKey%1").arg(i + 1), *hotkeys_, i + 1, nullptr);
        TJvApplicationHotKey* hotKey = hotKeyOwners_[i].get();
        hotKey->Log = [this](const QString& line) {
            if (core_) {
                core_->LogMessage(line);
            }
        };
        connect(hotKey, &TJvApplicationHotKey::HotKey, this, handlers[i]);
    }
    JvApplicationHotKey1 = hotKeyOwners_[0].get();
    JvApplicationHotKey2 = hotKeyOwners_[1].get();
    JvApplicationHotKey3 = hotKeyOwners_[2].get();
    JvApplicationHotKey4 = hotKeyOwners_[3].get();
    JvApplicationHotKey5 = hotKeyOwners_[4].get();
}

std::array<TJvApplicationHotKey*, 5> TfmnoxQuivraCplMain::HotKeyComponents() const {
    return {JvApplicationHotKey1, JvApplicationHotKey2, JvApplicationHotKey3, JvApplicationHotKey4,
            JvApplicationHotKey5};
}

void TfmnoxQuivraCplMain::DeactivateHotKeys() {
    for (TJvApplicationHotKey* hotKey : HotKeyComponents()) {
        hotKey->SetActive(false);
    }
}

void TfmnoxQuivraCplMain::JvApplicationHotKey1HotKey() {
    if (core_ && core_->ActiveButtons()) {
        core_->TrackerSetCenter();
    }
    PassHotKeyOn(JvApplicationHotKey1);
}

void TfmnoxQuivraCplMain::JvApplicationHotKey2HotKey() {
    if (core_ && core_->ActiveButtons()) {
        core_->TrackerResetCenter();
    }
    PassHotKeyOn(JvApplicationHotKey2);
}

void TfmnoxQuivraCplMain::JvApplicationHotKey3HotKey() {
    if (core_ && core_->ActiveButtons() && buttons_) {
        buttons_->acOnOff->trigger();
    }
    PassHotKeyOn(JvApplicationHotKey3);
}

void TfmnoxQuivraCplMain::JvApplicationHotKey4HotKey() {
    if (core_ && core_->ActiveButtons()) {
        core_->TrackerOffReturnCenter();
    }
    PassHotKeyOn(JvApplicationHotKey4);
}

void TfmnoxQuivraCplMain::JvApplicationHotKey5HotKey() {
    if (core_ && core_->ActiveButtons()) {
        core_->TrackerOffCurrentValue();
    }
    PassHotKeyOn(JvApplicationHotKey5);
}

void TfmnoxQuivraCplMain::PassHotKeyOn(TJvApplicationHotKey* Sender) {
    if (!Sender || Sender->HotKeyValue() == 0) {
        return;
    }
    // The press is replayed to the focused client while the grab is set aside; the
    // registration itself stays in place (unregister, inject, re-register in one step).
    Sender->PassKeyOn();
}
