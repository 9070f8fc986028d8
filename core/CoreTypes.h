#pragma once
// Plain records the core keeps: the binding slots and the attached game controllers.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// One binding slot (the bindings issue fills in how slots are loaded, shown and matched).
struct HotKeyRec {
    bool Active = false;
    QString InputType;            // "Keyboard", a game controller's product name, or empty
    int32_t Key = 0;              // 16-bit shortcut value or 0-based button index; 0 = nothing
    std::function<void()> Action; // the page action the slot triggers; empty for slots 4 and 5
};

// One attached game controller as the polling timer sees it.
struct TJoyStatus {
    QString JoyName;                      // product name without leading/trailing blanks
    int JoyIndex = 0;                     // slot in the input manager
    std::array<uint8_t, 128> JoyBtnArr{}; // last seen button bytes (0 = released)
};
