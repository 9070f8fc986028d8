#pragma once
// Only one instance of the program runs per user and executable name. A second start hands over
// to the first one (which then shows its window) and ends.
//
// The instance name is the executable's file name (with extension) followed by "MUTEX", so copies
// under different names do not see each other. Ownership is decided by a lock file, so two
// simultaneous starts cannot both win and a lock left by a crashed process does not block a
// start; the hand-over travels over a local socket that only this user can open. Both live in
// the user's runtime folder ($XDG_RUNTIME_DIR, else the temporary folder).
//
// Hand-over message: 8 bytes, little-endian: dwData (32 bits), cbData (32 bits), then cbData
// bytes of data. A second start sends dwData = 1, cbData = 0. The first instance emits
// handOverRequested() for dwData = 1 and ignores every other message.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace core {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First,  // this process owns the name and listens for hand-overs
        Second, // another instance runs; the hand-over was sent (or the first one vanished)
        Failed, // the runtime folder or socket could not be set up; see errorString()
    };

    // `instanceName` is usually InstanceNameFor(executable path). `runtimeFolder` empty: the
    // default folder above (tests pass their own).
    explicit SingleInstance(QString instanceName, QString runtimeFolder = {},
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Executable file name + "MUTEX" ("quivra-cc" -> "quivra-ccMUTEX").
    static QString InstanceNameFor(const QString& executablePath);

    // Decides the role once: takes the lock and listens (First), or sends the hand-over to the
    // running instance (Second). The first instance keeps the lock until it is destroyed.
    // A second start whose first instance does not answer within `handOverTimeoutMs` still
    // reports Second (it must end; the first instance is alive and holds the lock).
    Role Claim(int handOverTimeoutMs = 3000);

    Role role() const { return role_; }
    QString errorString() const { return error_; }

    // Sends one raw message to the running instance; false when none answers. Claim() uses it
    // with dwData = 1.
    bool Send(quint32 dwData, const QByteArray& data, int timeoutMs = 3000);

signals:
    // A second start asked this (first) instance to show itself.
    void handOverRequested();

private:
    void onNewConnection();
    QString socketPath() const;
    QString lockPath() const;

    QString name_;
    QString folder_;
    Role role_ = Role::Failed;
    bool claimed_ = false;
    QString error_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace core
