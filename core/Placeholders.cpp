// Calls into parts that arrive with later work (language, profiles, controller list). They keep
// their names and their place in the start-up and scan order; what they do now is noted.
#include "core/CplData.h"

void TDmTrackCpl::SetLanguage() {
    // Language set-up: chooses LangExt and opens LangIni. Nothing to choose yet.
}

void TDmTrackCpl::LoadProfile(const QString& ProfileName) {
    // Profile load: fills HotKeys, FlgOffCenter and the LED brightness from the named profile.
    // Until then the defaults of the creation stay.
    (void)ProfileName;
}

int TDmTrackCpl::SaveProfile(bool Ask, const QString& Caller) {
    // Profile save: nothing is kept yet, so there is nothing to write ("yes").
    (void)Ask;
    (void)Caller;
    return 6;
}

void TDmTrackCpl::BuildJoystickList() {
    // Controller list: initialise the input manager again and list its controllers (none yet),
    // then start the controller and histogram polls.
    if (InputManager)
        InputManager->Initialize();
    AttachedJoylist.clear();
    tmJoyPoll.start();
    tmHisto.start();
}

void TDmTrackCpl::SetHotkeyActive(HotKeyRec& Hotkey) {
    if (Hotkey.InputType == QLatin1String("Keyboard")) {
        Hotkey.Active = Hotkey.Key != 0;
        return;
    }
    if (Hotkey.InputType.isEmpty())
        return;
    for (const TJoyStatus& joy : AttachedJoylist) {
        if (joy.JoyName == Hotkey.InputType) {
            Hotkey.Active = true;
            return;
        }
    }
}
