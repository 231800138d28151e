// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/OwnFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7 {
namespace {

constexpr mode_t kPrivateMode = S_IRWXU;
constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;
// Numbered names tried before giving up: far more hand-ins than fit in one second.
constexpr int kMostNumbers = 1000;

bool IsPrivate(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & kOthersBits) == 0;
}

} // namespace

QString PrivateFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (IsPrivate(runtime)) return runtime;
    // The name is known to everyone: a folder someone else made first under it is not taken. The home
    // folder is last: it may be shared by several computers, hence the computer's name.
    const QString candidates[] = {
        QDir::temp().filePath(QStringLiteral("vp7sim-%1").arg(getuid())),
        QDir::home().filePath(QStringLiteral(".cache/vp7sim-%1").arg(QSysInfo::machineHostName())),
    };
    for (const QString& own : candidates) {
        QDir().mkpath(QFileInfo(own).path());
        mkdir(QFile::encodeName(own).constData(), kPrivateMode);
        if (IsPrivate(own)) return own;
    }
    return {};
}

// A write that only the buffer took fails at the flush; the commit would not see it and put an empty
// file in the old one's place.
bool FinishWriting(QSaveFile& file) {
    if (file.flush() && file.error() == QFileDevice::NoError) return file.commit();
    file.cancelWriting();
    file.commit(); // lets go of the temporary file, leaving the old one
    return false;
}

bool WriteWholeFile(const QString& path, std::string_view text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return FinishWriting(file);
}

QString CreateNumberedFiles(const QString& stem, const QStringList& suffixes, const QStringList& alsoFree) {
    for (int number = 1; number <= kMostNumbers; ++number) {
        const QString base = number == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(number);
        if (std::ranges::any_of(alsoFree, [&](const QString& other) { return QFile::exists(base + other); }))
            continue;
        QStringList created;
        for (const QString& suffix : suffixes) {
            QFile file(base + suffix);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
            created << file.fileName();
        }
        if (created.size() == suffixes.size()) return base;
        const bool taken = QFile::exists(base + suffixes[created.size()]);
        for (const QString& path : created)
            QFile::remove(path);
        if (!taken) return {}; // the folder cannot take it
    }
    return {};
}

QString UnrecordableReason(const QString& path, bool german) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (stat(name.constData(), &info) != 0) return {}; // a new file
    if (S_ISREG(info.st_mode)) {
        // Opened without waiting: what the check saw may have become a pipe since.
        const int fd = open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        const bool regular = fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (fd >= 0) close(fd);
        if (regular) return {};
        if (fd < 0 && errno != ENXIO)
            return german ? QStringLiteral("Die Datei kann nicht geschrieben werden.")
                          : QStringLiteral("The file cannot be written.");
    }
    return german ? QStringLiteral("Das ist keine gewöhnliche Datei (etwa eine Pipe oder ein Gerät).")
                  : QStringLiteral("It is not a regular file (a pipe or a device, say).");
}

} // namespace vp7
