// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/SingleInstance.h"

#include "ui/qt/OwnFiles.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace vp7 {
namespace {

const QByteArray kRaised = "raised\n";
// Whatever else a client sends is not read: the one message is a line.
constexpr qint64 kMessageMaxBytes = kInstanceMessageMaxBytes;
// A client that says nothing is let go.
constexpr int kClientQuietMs = 5000;

// A file of the program's own in the user's private folder; empty when there is none.
QString OwnPath(const QString& name) {
    const QString folder = PrivateFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() {
    Release();
}

QString SingleInstance::LockPath() {
    return OwnPath(QStringLiteral("VP7Zoriz is still active.lock"));
}

// The socket lies beside the lock, so whoever the lock keeps out finds the instance holding it, and no
// one else can put a socket of theirs in its place.
QString SingleInstance::ServerName() {
    return OwnPath(QStringLiteral("vp7sim.socket"));
}

bool SingleInstance::Acquire() {
    const QString path = LockPath();
    // Without a folder of the user's own there is nothing to keep others out with: the program runs.
    if (path.isEmpty()) return true;
    lock_ = std::make_unique<QLockFile>(path);
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
            client->setReadBufferSize(kMessageMaxBytes);
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QTimer::singleShot(kClientQuietMs, client, &QLocalSocket::abort);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine() && client->bytesAvailable() < kMessageMaxBytes) return;
                const QByteArray line = client->readLine(kMessageMaxBytes);
                // A line cut off at the limit is not the message its sender meant.
                const auto message =
                    line.endsWith('\n') ? ReadInstanceMessage(std::string_view(line.constData(), line.size()))
                                        : std::nullopt;
                if (message) {
                    client->write(kRaised);
                    client->flush();
                    emit RaiseRequested();
                    if (message->open) emit OpenRequested(*message->open);
                }
                client->disconnectFromServer(); // one message a connection
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

bool SingleInstance::AskToRaise(const InstanceMessage& message, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(QByteArray::fromStdString(InstanceMessageLine(message)));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray answer;
    while (answer.size() < kRaised.size() && socket.waitForReadyRead(timeoutMs))
        answer += socket.read(kRaised.size() - answer.size());
    return answer == kRaised;
}

} // namespace vp7
