#pragma once
// Everything the core writes into the main window and the pages, or asks of them. The GUI
// implements this interface; the command-line tool and the tests implement the few members they
// need. Every member has a harmless default, so an empty CoreView is a headless program: no
// window, no pages, nothing visible.
//
// All calls arrive on the one thread that runs the core, synchronously, in the order the core
// does its work. The core never owns the view.

#include <QString>

class TDmTrackCpl;

namespace core {

// The page forms and dialogs the core creates at start-up, in their creation order.
enum class Page {
    Buttons,     // bindings page TfmnoxQuivraCplButtons
    Profiles,    // profiles page TfmnoxQuivraCplProfiles
    CreateFile,  // create-file dialog TfmnoxCreateFile
    SaveQuery,   // two-button message dialog TfmnoxSaveQuery ("Ок", "Отмена")
    SaveQuery2b, // save-changes dialog TfmnoxSaveQuery2b
    RavadOrora,  // indicator page TfmnoxQuivraCplRavadOrora
    About,       // service page TfmnoxAbout
    Sets,        // tracker parameters page TfmnoxQuivraCplSets
    OpenGL,      // orientation view TfmnoxQuivraCplOpenGL
};
constexpr int kPageCount = 9;

class CoreView {
public:
    virtual ~CoreView() = default;

    // ---- Start-up -------------------------------------------------------------------------

    // Creates one page form or dialog (DataModuleCreate step 10, called once per page in the
    // enum's order). Returns true when the page exists afterwards; the core then treats it as
    // existing for the whole run ("if the indicator page exists ..."). The orientation view
    // reports its own loading progress (60, 70, 80, 90, 100) through core.SplashLogMessage while
    // it is created. Default: nothing is created.
    virtual bool CreatePage(Page page, TDmTrackCpl& core) {
        (void)page;
        (void)core;
        return false;
    }

    // Splash window TfmnoxSplash: "Загрузка " + percent + "%" and the progress bar. Called by
    // TDmTrackCpl::SplashLogMessage, which also emits splashProgress().
    virtual void SplashLogMessage(int percent) { (void)percent; }

    // ---- Main window TfmnoxQuivraCplMain ---------------------------------------------------

    // True once the main window exists (the setters of TrackerOnState and ActiveButtons only
    // touch it then). Default: no main window.
    virtual bool MainWindowExists() const { return false; }

    // Status line labels lbTrackerName / lbIndicatorName (device name + version, or "Отключен").
    // The core keeps the text too (TDmTrackCpl::TrackerStatusLine()).
    virtual void SetLbTrackerName(const QString& text) { (void)text; }
    virtual void SetLbIndicatorName(const QString& text) { (void)text; }

    // The tracker-on lamp JvImageTrackerOn beside "Трекер:".
    virtual void SetJvImageTrackerOnVisible(bool visible) { (void)visible; }

    // Check mark of the tray action TrayOnOff ("Включить / Выключить").
    virtual void SetTrayOnOffChecked(bool checked) { (void)checked; }

    // Deactivates the application hotkeys JvApplicationHotKey1 … 5, in this order (writing
    // ActiveButtons := false).
    virtual void DeactivateHotKeys() {}

    // The tray action TrayExit ("Выход"): allow the close, stop tmJoyPoll, close the main window
    // so that the program ends through its normal shutdown. The fatal start-up error path
    // (tmExitTimer) ends here. Headless programs end their event loop.
    virtual void TrayExit() {}

    // The application is on screen (not hidden to the tray). Default: hidden.
    virtual bool ApplicationVisible() const { return false; }

    // A modal message box with an OK button; returns when the user closed it (the command-line
    // tool prints the text to stderr, tests record it).
    virtual void ShowMessage(const QString& text) { (void)text; }

    // ---- Bindings page TfmnoxQuivraCplButtons (called only when it exists) -----------------

    // Shows JvBtnOn and hides JvBtnOff when `trackerOn`, the reverse otherwise.
    virtual void ShowOnOffButtons(bool trackerOn) { (void)trackerOn; }
    // Off-mode indicators: true = return-to-centre on, current-value off; false the reverse.
    virtual void ShowOffMode(bool offCenter) { (void)offCenter; }
    // AssignActions and UpdateSettings(Save) of the page (bindings issue).
    virtual void AssignActions() {}
    virtual void UpdateSettings(bool save) { (void)save; }

    // ---- Indicator page TfmnoxQuivraCplRavadOrora (called only when it exists) -------------

    // The page is the one hosted in the main window right now.
    virtual bool IndicatorPageShowing() const { return false; }
    // lbX / lbY show the axis values; the 3D view follows them.
    virtual void SetLbAxis(int x, int y) {
        (void)x;
        (void)y;
    }
    // lbX and lbY show "--/--".
    virtual void SetLbAxisOff() {}
    // lbHis shows the histogram value.
    virtual void SetLbHisto(int value) { (void)value; }
    // The three brightness sliders take the core's values (start-up step 12).
    virtual void SetBrightnessSliders(int blue, int red, int ir) {
        (void)blue;
        (void)red;
        (void)ir;
    }

    // ---- Service page TfmnoxAbout (called only when it exists) -----------------------------

    // The page's log: time-stamped, last 500 lines, only while DebugLevel > 0 (the page decides).
    virtual void LogMessage(const QString& line) { (void)line; }
    // Hide JvBtn_YNQ_RavadOroraGoBoot ("Source" "BootButton" = 0) / JvBtn_YNQ_TrackerGoBoot
    // ("Dest" "BootButton" = 0), right after the page is created.
    virtual void HideRavadOroraGoBootButton() {}
    virtual void HideTrackerGoBootButton() {}
};

} // namespace core
