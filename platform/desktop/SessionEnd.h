#pragma once
// The end of the user's session as the program sees it on Linux: the session manager or systemd
// sends SIGTERM (or SIGHUP when the terminal goes) at log-out and shutdown. The watcher turns
// those signals into a Qt signal on the event loop, so the program can end through its normal
// shutdown (tracker off, indicator dark) instead of being cut off.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace platform {

class SessionEndWatcher : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGTERM and SIGHUP; the previous ones come back when the watcher
    // goes. One watcher at a time: a second one reports !ok() and does nothing.
    explicit SessionEndWatcher(QObject* parent = nullptr);
    ~SessionEndWatcher() override;

    bool ok() const { return installed_; }

signals:
    // The session is ending (the signal's number); arrives from the event loop.
    void sessionEnding(int signalNumber);

private:
    void OnReadable();

    bool installed_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform
