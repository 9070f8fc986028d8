#pragma once
// The window side of the core: creates the page forms when the core asks for them, and carries
// what the core writes into the main window, the splash and the pages.

#include "core/CoreView.h"

#include <QStringList>

#include <memory>

class TfmnoxAbout;
class TfmnoxQuivraCplButtons;
class TfmnoxQuivraCplMain;
class TfmnoxQuivraCplProfiles;
class TfmnoxQuivraCplRavadOrora;
class TfmnoxQuivraCplSets;
class TfmnoxSplash;

class TGuiView : public core::CoreView {
public:
    // The main window must outlive the view; the splash may be null or be taken away with
    // SetSplash(nullptr). The view owns the pages it creates.
    explicit TGuiView(TfmnoxQuivraCplMain& mainWindow, TfmnoxSplash* splash = nullptr);
    ~TGuiView() override;

    void SetSplash(TfmnoxSplash* splash) { splash_ = splash; }

    bool CreatePage(core::Page page, TDmTrackCpl& core) override;
    void SplashLogMessage(int percent) override;

    bool MainWindowExists() const override { return true; }
    void SetLbTrackerName(const QString& text) override;
    void SetLbIndicatorName(const QString& text) override;
    void SetJvImageTrackerOnVisible(bool visible) override;
    void SetTrayOnOffChecked(bool checked) override;
    void DeactivateHotKeys() override;
    void TrayExit() override;
    bool ApplicationVisible() const override;
    void ShowMessage(const QString& text) override;

    void AssignActions() override;
    void UpdateSettings(bool save) override;

    bool IndicatorPageShowing() const override;
    void SetLbAxis(int x, int y) override;
    void SetLbAxisOff() override;
    void SetLbHisto(int value) override;
    void SetBrightnessSliders(int blue, int red, int ir) override;

    TfmnoxQuivraCplButtons* Buttons() const { return buttons_.get(); }
    TfmnoxQuivraCplProfiles* Profiles() const { return profiles_.get(); }
    TfmnoxQuivraCplRavadOrora* RavadOrora() const { return ravadOrora_.get(); }
    TfmnoxAbout* About() const { return about_.get(); }
    TfmnoxQuivraCplSets* Sets() const { return sets_.get(); }

    // Every message box text shown, in order (the last few hundred), for diagnostics and tests.
    const QStringList& MessagesShown() const { return messages_; }

private:
    void HandPagesToWindow();

    TfmnoxQuivraCplMain& main_;
    TfmnoxSplash* splash_;
    std::unique_ptr<TfmnoxQuivraCplButtons> buttons_;
    std::unique_ptr<TfmnoxQuivraCplProfiles> profiles_;
    std::unique_ptr<TfmnoxQuivraCplRavadOrora> ravadOrora_;
    std::unique_ptr<TfmnoxAbout> about_;
    std::unique_ptr<TfmnoxQuivraCplSets> sets_;
    QStringList messages_;
};
