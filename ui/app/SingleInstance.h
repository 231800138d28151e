// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Only one simulator runs at a time for each user. The lock is a file named after the device program's
// named mutex, in the user's private folder (PrivateFolder): another user's simulator never keeps this
// one from starting. A lock left behind by a crashed instance belongs to a dead process and does not
// block the next start. The running instance listens on a local socket beside the lock, so a second
// start can ask it to bring its window to the front, and open the file it was given, instead of ending
// unseen.
#include "ui/app/InstanceMessage.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace vp7 {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    SingleInstance();
    ~SingleInstance() override;

    // Tries to become the one running instance and listens for later starts; false when another one
    // holds the lock.
    bool Acquire();
    // Lets go early, so that a restarted program can take over.
    void Release();
    // From a second start: asks the running instance to show its window (and to open what `message`
    // names); true when it answered within `timeoutMs`.
    static bool AskToRaise(const InstanceMessage& message = {}, int timeoutMs = 3000);
    // Both empty when the user has no private folder: the program then runs without the lock.
    static QString LockPath();
    static QString ServerName();

signals:
    // A second start asked for the window.
    void RaiseRequested();
    // A second start was given a file to open (--state, --play, --exercise).
    void OpenRequested(const vp7::OpenRequest& request);

private:
    void Listen();

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace vp7
