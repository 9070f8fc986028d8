#pragma once
// Global hotkeys over Xlib: each combination is grabbed on the root window (XGrabKey) in every
// NumLock/CapsLock variant, with the keyboard in synchronous mode so that a press can be replayed
// to the focused client afterwards (XAllowEvents with ReplayKeyboard). A combination another
// client already grabbed answers BadAccess; the registration waits for the server's answer
// (XSync) and reports it.
//
// The service has its own connection to the X server, watched with a QSocketNotifier.

#include "platform/desktop/GlobalHotkeys.h"

#include <memory>

namespace platform::x11 {

// Opens the display named by $DISPLAY. Returns null, with the reason in `reason`, when none can
// be opened.
std::unique_ptr<GlobalHotkeys> CreateX11GlobalHotkeys(QString* reason, QObject* parent = nullptr);

// X11 keysym for a Windows virtual-key code (the low byte of a shortcut value); 0 when the key
// has no equivalent here.
unsigned long KeysymForVirtualKey(uint8_t virtualKey);

} // namespace platform::x11
