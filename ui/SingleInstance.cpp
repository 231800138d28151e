#include "ui/SingleInstance.h"

#include <QDir>

namespace vp7 {

QString SingleInstance::LockPath() {
    return QDir::temp().filePath(QStringLiteral("VP7Zoriz is still active.lock"));
}

bool SingleInstance::Acquire() {
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: a running simulator may hold it for days. A dead holder's lock is taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    lock_.reset();
    return false;
}

void SingleInstance::Release() {
    if (lock_) lock_->unlock();
    lock_.reset();
}

} // namespace vp7
