#include "X11Support.h"

#include "GuiTestSupport.h"

#include <QRegularExpression>
#include <QSystemTrayIcon>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace guitest {

bool HaveXDisplay() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        return false;
    }
    XCloseDisplay(d);
    return true;
}

bool RunTool(const QString& program, const QStringList& args, QString* output, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(timeoutMs) || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (output) {
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

FocusedClient::FocusedClient() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        return;
    }
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 900, 600, 200, 120, 0, 0,
                                  WhitePixel(display_, screen));
    XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XStoreName(display_, window_, "focused test client");
    XMapRaised(display_, window_);
    XSync(display_, False);
    // Wait until it is mapped, then take the focus.
    for (int i = 0; i < 200; ++i) {
        XWindowAttributes attrs;
        XGetWindowAttributes(display_, window_, &attrs);
        if (attrs.map_state == IsViewable) {
            break;
        }
        Pump(10);
    }
    Focus();
}

FocusedClient::~FocusedClient() {
    if (display_) {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
}

void FocusedClient::Focus() {
    XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

void FocusedClient::Drain() {
    while (XPending(display_) > 0) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == KeyPress) {
            presses_.push_back(e.xkey.keycode);
        }
    }
}

int FocusedClient::PressesOf(unsigned long keysym) {
    Drain();
    const unsigned int code = XKeysymToKeycode(display_, keysym);
    int n = 0;
    for (unsigned int c : presses_) {
        n += c == code ? 1 : 0;
    }
    return n;
}

bool FocusedClient::GrabOnRoot(unsigned long keysym, unsigned int modifiers) {
    XGrabKey(display_, XKeysymToKeycode(display_, keysym), modifiers, DefaultRootWindow(display_),
             False, GrabModeAsync, GrabModeAsync);
    XSync(display_, False);
    return true;
}

TrayHost::TrayHost() {
    process_.start(QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                    QStringLiteral("--width"), QStringLiteral("120"), QStringLiteral("--height"),
                    QStringLiteral("32")});
    ok_ = process_.waitForStarted(5000) &&
          WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000);
}

TrayHost::~TrayHost() {
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QPoint TrayHost::IconCentre() const {
    QString tree;
    if (!RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")},
                 &tree)) {
        return {-1, -1};
    }
    // The docked icon is a child of trayer's "panel" window: "... 22x30+0+0  +1257+1".
    static const QRegularExpression geometry(
        QStringLiteral("(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    auto indent = [](const QString& line) {
        int n = 0;
        while (n < line.size() && line[n] == u' ') {
            ++n;
        }
        return n;
    };
    int panelIndent = -1;
    for (const QString& line : tree.split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("\"panel\""))) {
            panelIndent = indent(line);
            continue;
        }
        if (panelIndent < 0) {
            continue;
        }
        if (geometry.match(line).hasMatch() && indent(line) <= panelIndent) {
            panelIndent = -1; // left the panel's subtree
            continue;
        }
        if (geometry.match(line).hasMatch()) {
            const auto m = geometry.match(line);
            if (m.captured(1).toInt() > 1 && m.captured(2).toInt() > 1) { // not a helper window
                return {m.captured(3).toInt() + m.captured(1).toInt() / 2,
                        m.captured(4).toInt() + m.captured(2).toInt() / 2};
            }
        }
    }
    return {-1, -1};
}

} // namespace guitest
