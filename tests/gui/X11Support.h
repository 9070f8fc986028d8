#pragma once
// X11 helpers of the tests that need a real X server: another X client with a focused window
// that records the keys it receives, a tray host (trayer) started and stopped by the test, and
// xdotool for key presses and clicks.

#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct _XDisplay; // Xlib's Display

namespace guitest {

// True when $DISPLAY names a server this process can open.
bool HaveXDisplay();

// Runs a command with bounded time; true when it ended with status 0.
bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr,
             int timeoutMs = 5000);

// A window of a separate X connection that takes the input focus and counts key presses.
class FocusedClient {
public:
    FocusedClient();
    ~FocusedClient();
    bool ok() const { return display_ != nullptr; }
    // Reads what arrived; number of KeyPress events for the key with keysym `keysym`.
    int PressesOf(unsigned long keysym);
    // Gives the window the input focus again.
    void Focus();
    // Grabs `keysym` with `modifiers` on the root window from this connection (a combination
    // "taken by another application"); true when the server accepted it.
    bool GrabOnRoot(unsigned long keysym, unsigned int modifiers);

private:
    void Drain();
    ::_XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    std::vector<unsigned int> presses_; // keycodes received
};

// trayer as the system tray host for the test's lifetime.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    bool ok() const { return ok_; }
    // Screen position of the centre of the first icon docked in the tray, or (-1, -1).
    QPoint IconCentre() const;

private:
    QProcess process_;
    bool ok_ = false;
};

} // namespace guitest
