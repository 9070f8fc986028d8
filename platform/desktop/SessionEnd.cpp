#include "SessionEnd.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The handler may only write to a descriptor; the event loop reads the other end.
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_taken{false};
struct sigaction g_previousTerm {};
struct sigaction g_previousHup {};

void OnSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    const ssize_t written = ::write(g_pipe[0], &byte, 1);
    (void)written; // nothing sensible to do inside a signal handler
}

} // namespace

SessionEndWatcher::SessionEndWatcher(QObject* parent) : QObject(parent) {
    if (g_taken.exchange(true)) {
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        g_taken = false;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { OnReadable(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previousTerm);
    ::sigaction(SIGHUP, &action, &g_previousHup);
    installed_ = true;
}

SessionEndWatcher::~SessionEndWatcher() {
    if (!installed_) {
        return;
    }
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    ::sigaction(SIGHUP, &g_previousHup, nullptr);
    notifier_.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_taken = false;
}

void SessionEndWatcher::OnReadable() {
    unsigned char byte = 0;
    if (::read(g_pipe[1], &byte, 1) == 1) {
        emit sessionEnding(byte);
    }
}

} // namespace platform
