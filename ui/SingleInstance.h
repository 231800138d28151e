#pragma once
// Only one simulator runs at a time. The lock is a file named after the device program's named mutex;
// a lock left behind by a crashed instance belongs to a dead process and does not block the next start.
#include <QLockFile>
#include <QString>

#include <memory>

namespace vp7 {

class SingleInstance {
public:
    // Tries to become the one running instance; false when another one holds the lock.
    bool Acquire();
    // Lets go early, so that a restarted program can take over.
    void Release();
    static QString LockPath();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace vp7
