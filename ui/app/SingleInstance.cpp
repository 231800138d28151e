// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace vp7 {
namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kRaised = "raised\n";

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() {
    Release();
}

QString SingleInstance::LockPath() {
    return QDir::temp().filePath(QStringLiteral("VP7Zoriz is still active.lock"));
}

// The socket lies in the temporary folder as the lock does, so whoever the lock keeps out finds the
// instance holding it, wherever either was started from. Each user has a socket of their own.
QString SingleInstance::ServerName() {
    return QStringLiteral("vp7sim-%1.socket").arg(getuid());
}

bool SingleInstance::Acquire() {
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: a running simulator may hold it for days. A dead holder's lock is taken over.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    Listen();
    return true;
}

void SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a crashed instance is no one's: the lock is ours now.
    QLocalServer::removeServer(ServerName());
    if (!server_->listen(ServerName())) return; // the program runs on; a second start then ends unseen
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                while (client->canReadLine()) {
                    if (client->readLine() != kRaise) continue;
                    client->write(kRaised);
                    client->flush();
                    emit RaiseRequested();
                }
            });
        }
    });
}

void SingleInstance::Release() {
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lock_) lock_->unlock();
    lock_.reset();
}

bool SingleInstance::AskToRaise(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray answer;
    while (!answer.contains(kRaised) && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    return answer.contains(kRaised);
}

} // namespace vp7
