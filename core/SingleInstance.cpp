#include "core/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <utility>

namespace core {

namespace {
constexpr int kHeaderSize = 8; // dwData, cbData
constexpr quint32 kMaxData = 64 * 1024;
} // namespace

SingleInstance::SingleInstance(QString instanceName, QString runtimeFolder, QObject* parent)
    : QObject(parent), name_(std::move(instanceName)), folder_(std::move(runtimeFolder)) {
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty())
        folder_ = QDir::tempPath();
}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
    server_.reset();
    lock_.reset(); // unlocks and removes the lock file
}

QString SingleInstance::InstanceNameFor(const QString& executablePath) {
    return QFileInfo(executablePath).fileName() + QStringLiteral("MUTEX");
}

QString SingleInstance::socketPath() const {
    return folder_ + QLatin1Char('/') + name_;
}
QString SingleInstance::lockPath() const {
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

SingleInstance::Role SingleInstance::Claim(int handOverTimeoutMs) {
    if (claimed_)
        return role_;
    claimed_ = true;
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("cannot create the runtime folder %1").arg(folder_);
        return role_ = Role::Failed;
    }
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A lock whose owner process is gone counts as stale and is taken over at once.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        QLocalServer::removeServer(socketPath()); // a socket left behind by a crash
        server_ = std::make_unique<QLocalServer>();
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_.get(), &QLocalServer::newConnection, this,
                &SingleInstance::onNewConnection);
        if (!server_->listen(socketPath())) {
            error_ =
                QStringLiteral("cannot listen on %1: %2").arg(socketPath(), server_->errorString());
            server_.reset();
            lock_.reset();
            return role_ = Role::Failed;
        }
        return role_ = Role::First;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        error_ = QStringLiteral("cannot create the lock file %1").arg(lockPath());
        lock_.reset();
        return role_ = Role::Failed;
    }
    lock_.reset();
    // The first instance may still be starting: retry the hand-over for a while.
    QElapsedTimer clock;
    clock.start();
    while (!Send(1, QByteArray(), 500) && clock.elapsed() < handOverTimeoutMs)
        QThread::msleep(50);
    return role_ = Role::Second;
}

bool SingleInstance::Send(quint32 dwData, const QByteArray& data, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << dwData << static_cast<quint32>(data.size());
    message += data;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (buffer->size() < kHeaderSize)
                return;
            QDataStream in(*buffer);
            in.setByteOrder(QDataStream::LittleEndian);
            quint32 dwData = 0, cbData = 0;
            in >> dwData >> cbData;
            if (cbData > kMaxData) { // not one of ours: drop the connection
                socket->abort();
                return;
            }
            if (buffer->size() < kHeaderSize + static_cast<qsizetype>(cbData))
                return;
            buffer->clear();
            socket->disconnectFromServer();
            if (dwData == 1)
                emit handOverRequested();
        });
    }
}

} // namespace core
