// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7 {
namespace fs = std::filesystem;

namespace {

// A new file is readable by everyone and writable by its owner, less what the user's umask takes away.
constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kPermissionBits = 07777;

// A rename replaces a file whenever its folder is writable, whatever the file's own mode says. Opening
// it for writing (without truncating) asks the system whether this user may change it, and changes
// nothing.
bool MayChange(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return true;
    if (!fs::is_regular_file(fs::symlink_status(file, ec))) return false; // a folder or a pipe stays
    const int fd = ::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// The umask without changing it: the kernel tells it; where it does not, it is set and put back.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (!line.starts_with("Umask:")) continue;
        std::string_view digits(line);
        digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of(" \t", 6)));
        unsigned mask = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), mask, 8);
        if (error == std::errc() && end == digits.data() + digits.size()) return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false; // a full disk, a quota, an I/O error
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// A file of our own beside `target` with a name nobody could have foreseen: created only if nothing,
// not even a link, is at that name yet.
struct OwnTemporary {
    std::string path;
    int fd = -1;
};

std::optional<OwnTemporary> CreateTemporary(const fs::path& folder, const std::string& name) {
    OwnTemporary temp;
    temp.path = (folder / ("." + name + "-XXXXXX")).string();
    temp.fd = ::mkostemp(temp.path.data(), O_CLOEXEC); // O_CREAT | O_EXCL, mode 0600
    if (temp.fd < 0) return std::nullopt;
    return temp;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, Flush flush) {
    if (path.empty()) return false;
    std::error_code ec;
    // A link stays a link: the file it points to is the one replaced.
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) return false;
    }
    if (target.filename().empty()) return false;
    if (!MayChange(target)) return false; // a write-protected file stays as it is
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & kPermissionBits)
                                                          : (kNewFileMode & ~CurrentUmask());

    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    auto temp = CreateTemporary(folder, target.filename().string());
    if (!temp) return false;
    // Every step is checked: a full disk must never pass for a save, and only our own file goes.
    bool ok = WriteAll(temp->fd, bytes) && ::fchmod(temp->fd, mode) == 0 &&
              (flush == Flush::BySystem || ::fsync(temp->fd) == 0);
    ok = ::close(temp->fd) == 0 && ok;
    ok = ok && ::rename(temp->path.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp->path.c_str());
        return false;
    }
    if (flush == Flush::BySystem) return true;
    // The rename itself reaches the disk with its folder.
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool FolderTakesNewFiles(const std::string& folder) {
    const auto temp = CreateTemporary(folder, "write-test");
    if (!temp) return false;
    ::close(temp->fd);
    ::unlink(temp->path.c_str());
    return true;
}

} // namespace vp7
