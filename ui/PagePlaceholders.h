#pragma once
// The pages whose content arrives with later work: the bindings page, the profiles page and the
// service page. Each is an empty skinned 763 x 317 form with its form name. The bindings
// page already carries its actions and registers the keyboard bindings as hotkeys, since the
// main window's hotkeys and the core's binding slots go through it.

#include <QAction>
#include <QWidget>

#include <array>

class TDmTrackCpl;
class TJvApplicationHotKey;
struct HotKeyRec;

// The skinned empty page all three share.
class TPlaceholderPage : public QWidget {
    Q_OBJECT
public:
    TPlaceholderPage(const QString& objectName, QWidget* parent);
};

class TfmnoxQuivraCplButtons : public TPlaceholderPage {
    Q_OBJECT
public:
    // `hotKeys` are the main window's JvApplicationHotKey1 … 3 (not owned); the core must
    // outlive the page.
    TfmnoxQuivraCplButtons(TDmTrackCpl& core, std::array<TJvApplicationHotKey*, 3> hotKeys,
                           QWidget* parent = nullptr);

    // Slots 1-3 trigger acSetCenterType, acResetCenterType and acOnOff.
    void AssignActions();
    // Saves the profile when `Save` (only if it changed), then registers the keyboard bindings of
    // slots 1-3 as the hotkeys 1-3 (the debugger key stays unregistered).
    void UpdateSettings(bool Save);
    // One slot onto its hotkey: released first, registered again for an active keyboard binding.
    void ShowBinding(const HotKeyRec& Binding, TJvApplicationHotKey& HotKey);

    // Category "Tracker": each runs its command while the bindings are switched on.
    QAction* acSetCenterType = nullptr;   // "Центровка"
    QAction* acResetCenterType = nullptr; // "Сброс центра"
    QAction* acTrackerOn = nullptr;
    QAction* acOffReturnCenter = nullptr;
    QAction* acOffCurrentValue = nullptr;
    // "Вкл. / Выкл.": off (by the off-mode) when the tracker is on, else on; no master-switch
    // test of its own.
    QAction* acOnOff = nullptr;

private:
    QAction* AddAction(const char* name, const QString& caption, void (*command)(TDmTrackCpl&));

    TDmTrackCpl& core_;
    std::array<TJvApplicationHotKey*, 3> hotKeys_;
};

class TfmnoxQuivraCplProfiles : public TPlaceholderPage {
    Q_OBJECT
public:
    explicit TfmnoxQuivraCplProfiles(QWidget* parent = nullptr);
};

class TfmnoxAbout : public TPlaceholderPage {
    Q_OBJECT
public:
    explicit TfmnoxAbout(QWidget* parent = nullptr);
};
