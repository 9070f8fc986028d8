#include "GuiView.h"

#include "CplMain.h"
#include "PagePlaceholders.h"
#include "PageRavadOrora.h"
#include "PageSets.h"
#include "PanelHosting.h"
#include "SkinWidgets.h"
#include "Splash.h"
#include "core/CplData.h"

#include <QLabel>
#include <QMessageBox>
#include <QStringList>

TGuiView::TGuiView(TfmnoxQuivraCplMain& mainWindow, TfmnoxSplash* splash)
    : main_(mainWindow), splash_(splash) {}

TGuiView::~TGuiView() {
    main_.SetPages(nullptr, nullptr, nullptr, nullptr, nullptr);
    YnqUtils::ClearPanel(main_.PNPage);
}

bool TGuiView::CreatePage(core::Page page, TDmTrackCpl& core) {
    switch (page) {
    case core::Page::Buttons: {
        const auto keys = main_.HotKeyComponents();
        buttons_ = std::make_unique<TfmnoxQuivraCplButtons>(
            core, std::array<TJvApplicationHotKey*, 3>{keys[0], keys[1], keys[2]});
        break;
    }
    case core::Page::Profiles:
        profiles_ = std::make_unique<TfmnoxQuivraCplProfiles>();
        break;
    case core::Page::RavadOrora:
        ravadOrora_ = std::make_unique<TfmnoxQuivraCplRavadOrora>(core);
        break;
    case core::Page::About:
        about_ = std::make_unique<TfmnoxAbout>();
        break;
    case core::Page::Sets:
        sets_ = std::make_unique<TfmnoxQuivraCplSets>(core);
        break;
    case core::Page::CreateFile:
    case core::Page::SaveQuery:
    case core::Page::SaveQuery2b:
    case core::Page::OpenGL:
        return false; // the dialogs and the orientation view arrive with later work
    }
    HandPagesToWindow();
    return true;
}

void TGuiView::HandPagesToWindow() {
    main_.SetPages(buttons_.get(), profiles_.get(), ravadOrora_.get(), about_.get(), sets_.get());
}

void TGuiView::SplashLogMessage(int percent) {
    if (splash_) {
        splash_->ShowProgress(percent);
    }
}

void TGuiView::SetLbTrackerName(const QString& text) {
    main_.lbTrackerName->setText(text);
}

void TGuiView::SetLbIndicatorName(const QString& text) {
    main_.lbIndicatorName->setText(text);
}

void TGuiView::SetJvImageTrackerOnVisible(bool visible) {
    main_.JvImageTrackerOn->setVisible(visible);
}

void TGuiView::SetTrayOnOffChecked(bool checked) {
    main_.SetTrayOnOffChecked(checked);
}

void TGuiView::DeactivateHotKeys() {
    main_.DeactivateHotKeys();
}

void TGuiView::TrayExit() {
    main_.TrayExit->trigger();
}

bool TGuiView::ApplicationVisible() const {
    // Without a tray "Ок" minimises instead of hiding, so there a minimised window counts as
    // hidden: nothing may switch the tracker into test mode behind the user's back.
    if (main_.isMinimized() && !main_.TrayAvailable())
        return false;
    return main_.isVisible();
}

void TGuiView::ShowMessage(const QString& text) {
    messages_.append(text);
    if (messages_.size() > 500) {
        messages_.removeFirst();
    }
    QWidget* parent = main_.isVisible() ? &main_ : nullptr;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, QStringLiteral("Quivra Control Center"), shown,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("CoreMessage"));
    box.exec();
}

void TGuiView::AssignActions() {
    if (buttons_) {
        buttons_->AssignActions();
    }
}

void TGuiView::UpdateSettings(bool save) {
    if (buttons_) {
        buttons_->UpdateSettings(save);
    }
}

bool TGuiView::IndicatorPageShowing() const {
    return ravadOrora_ && ravadOrora_->isVisible();
}

void TGuiView::SetLbAxis(int x, int y) {
    if (ravadOrora_) {
        ravadOrora_->SetLbAxis(x, y);
    }
}

void TGuiView::SetLbAxisOff() {
    if (ravadOrora_) {
        ravadOrora_->SetLbAxisOff();
    }
}

void TGuiView::SetLbHisto(int value) {
    if (ravadOrora_) {
        ravadOrora_->SetLbHisto(value);
    }
}

void TGuiView::SetBrightnessSliders(int blue, int red, int ir) {
    if (ravadOrora_) {
        ravadOrora_->SetBrightnessSliders(blue, red, ir);
    }
}
