#include "X11GlobalHotkeys.h"

#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>
#include <map>
#include <vector>

namespace platform::x11 {

namespace {

// Xlib reports protocol errors through one process-wide handler. Ours records the errors of our
// own connections and hands every other connection's errors to the handler that was there before.
struct ErrorTrap {
    std::vector<std::pair<Display*, int>> lastError; // per connection of this service
    XErrorHandler previous = nullptr;
    bool installed = false;
};

ErrorTrap& Trap() {
    static ErrorTrap trap;
    return trap;
}

int OnXError(Display* display, XErrorEvent* event) {
    for (auto& [d, code] : Trap().lastError) {
        if (d == display) {
            code = event->error_code;
            return 0;
        }
    }
    return Trap().previous ? Trap().previous(display, event) : 0;
}

void WatchErrors(Display* display) {
    ErrorTrap& trap = Trap();
    if (!trap.installed) {
        trap.previous = XSetErrorHandler(OnXError);
        trap.installed = true;
    }
    trap.lastError.emplace_back(display, Success);
}

void UnwatchErrors(Display* display) {
    auto& list = Trap().lastError;
    std::erase_if(list, [display](const auto& e) { return e.first == display; });
}

// Sends everything queued, waits for the server's answers and returns the first error code seen
// since the last call (Success when none).
int SyncAndTakeError(Display* display) {
    XSync(display, False);
    for (auto& [d, code] : Trap().lastError) {
        if (d == display) {
            const int seen = code;
            code = Success;
            return seen;
        }
    }
    return Success;
}

constexpr unsigned kShortcutShift = 0x2000;
constexpr unsigned kShortcutCtrl = 0x4000;
constexpr unsigned kShortcutAlt = 0x8000;
constexpr unsigned kComboMods = ShiftMask | ControlMask | Mod1Mask;

class X11GlobalHotkeys final : public GlobalHotkeys {
public:
    X11GlobalHotkeys(Display* display, QObject* parent)
        : GlobalHotkeys(parent), display_(display), root_(DefaultRootWindow(display)),
          notifier_(ConnectionNumber(display), QSocketNotifier::Read) {
        WatchErrors(display_);
        numLockMask_ = FindNumLockMask();
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { ProcessEvents(); });
    }

    ~X11GlobalHotkeys() override {
        notifier_.setEnabled(false);
        for (const auto& [id, grab] : grabs_) {
            Ungrab(grab);
        }
        XSync(display_, False);
        UnwatchErrors(display_);
        XCloseDisplay(display_);
    }

    bool Register(int id, uint16_t shortcut) override {
        Unregister(id);
        lastError_.clear();
        const uint8_t vk = shortcut & 0xFF;
        const KeySym sym = KeysymForVirtualKey(vk);
        const KeyCode code = sym ? XKeysymToKeycode(display_, sym) : 0;
        if (code == 0) {
            lastError_ = QStringLiteral("shortcut %1: virtual key 0x%2 has no key on this display")
                             .arg(shortcut)
                             .arg(vk, 2, 16, QLatin1Char('0'));
            return false;
        }
        Grab grab{code, ModsFor(shortcut)};
        for (const auto& [otherId, other] : grabs_) {
            if (other.code == grab.code && other.mods == grab.mods) {
                lastError_ = QStringLiteral("shortcut %1 is already registered by this program")
                                 .arg(shortcut);
                return false;
            }
        }
        SyncAndTakeError(display_);
        for (unsigned variant : LockVariants()) {
            XGrabKey(display_, grab.code, grab.mods | variant, root_, False, GrabModeAsync,
                     GrabModeSync);
        }
        const int error = SyncAndTakeError(display_);
        if (error != Success) {
            Ungrab(grab);
            SyncAndTakeError(display_);
            lastError_ =
                error == BadAccess
                    ? QStringLiteral("shortcut %1 is taken by another application").arg(shortcut)
                    : QStringLiteral("shortcut %1: the X server refused the grab (error %2)")
                          .arg(shortcut)
                          .arg(error);
            return false;
        }
        grabs_[id] = grab;
        ScheduleQueuedEvents();
        return true;
    }

    void Unregister(int id) override {
        const auto it = grabs_.find(id);
        if (it == grabs_.end()) {
            return;
        }
        Ungrab(it->second);
        grabs_.erase(it);
        XFlush(display_);
    }

    bool IsRegistered(int id) const override { return grabs_.count(id) != 0; }

    bool PassOn(int id) override {
        if (id != firing_ || passed_) {
            return false;
        }
        // The frozen press is processed again as if our grab did not exist: it reaches the
        // focused client, and so does the release that follows.
        XAllowEvents(display_, ReplayKeyboard, pressTime_);
        XFlush(display_);
        passed_ = true;
        return true;
    }

    QString backendName() const override { return QStringLiteral("x11"); }

private:
    struct Grab {
        KeyCode code = 0;
        unsigned mods = 0;
    };

    static unsigned ModsFor(uint16_t shortcut) {
        return ((shortcut & kShortcutShift) ? ShiftMask : 0u) |
               ((shortcut & kShortcutCtrl) ? ControlMask : 0u) |
               ((shortcut & kShortcutAlt) ? Mod1Mask : 0u);
    }

    std::array<unsigned, 4> LockVariants() const {
        return {0u, LockMask, numLockMask_, numLockMask_ | LockMask};
    }

    unsigned FindNumLockMask() const {
        const KeyCode numLock = XKeysymToKeycode(display_, XK_Num_Lock);
        unsigned mask = 0;
        XModifierKeymap* map = XGetModifierMapping(display_);
        if (map && numLock != 0) {
            for (int m = 0; m < 8; ++m) {
                for (int k = 0; k < map->max_keypermod; ++k) {
                    if (map->modifiermap[m * map->max_keypermod + k] == numLock) {
                        mask = 1u << m;
                    }
                }
            }
        }
        if (map) {
            XFreeModifiermap(map);
        }
        return mask;
    }

    void Ungrab(const Grab& grab) {
        for (unsigned variant : LockVariants()) {
            XUngrabKey(display_, grab.code, grab.mods | variant, root_);
        }
    }

    // XSync may have read events into Xlib's queue; the socket then stays quiet, so look at the
    // queue from the event loop.
    void ScheduleQueuedEvents() {
        if (XEventsQueued(display_, QueuedAlready) > 0) {
            QTimer::singleShot(0, this, [this] { ProcessEvents(); });
        }
    }

    void ProcessEvents() {
        if (handling_) {
            return;
        }
        handling_ = true;
        // An action may wait for a device and run the event loop meanwhile; the keyboard is
        // frozen until the press is passed on or dropped, so nothing new can arrive for us.
        notifier_.setEnabled(false);
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == KeyPress) {
                HandlePress(event.xkey);
            }
        }
        notifier_.setEnabled(true);
        handling_ = false;
    }

    void HandlePress(const XKeyEvent& key) {
        int id = -1;
        const unsigned mods = key.state & kComboMods;
        for (const auto& [gid, grab] : grabs_) {
            if (grab.code == key.keycode && grab.mods == mods) {
                id = gid;
                break;
            }
        }
        firing_ = id;
        passed_ = false;
        pressTime_ = key.time;
        if (id >= 0) {
            emit activated(id);
        }
        firing_ = -1;
        if (!passed_) {
            XAllowEvents(display_, AsyncKeyboard, pressTime_);
            XFlush(display_);
        }
    }

    Display* display_;
    Window root_;
    QSocketNotifier notifier_;
    unsigned numLockMask_ = 0;
    std::map<int, Grab> grabs_;
    bool handling_ = false;
    int firing_ = -1;
    bool passed_ = false;
    Time pressTime_ = CurrentTime;
};

} // namespace

std::unique_ptr<GlobalHotkeys> CreateX11GlobalHotkeys(QString* reason, QObject* parent) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (reason) {
            *reason = QStringLiteral("no X display ($DISPLAY is not set)");
        }
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        if (reason) {
            *reason =
                QStringLiteral("cannot open the X display %1").arg(qEnvironmentVariable("DISPLAY"));
        }
        return nullptr;
    }
    return std::make_unique<X11GlobalHotkeys>(display, parent);
}

} // namespace platform::x11
