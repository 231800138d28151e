// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/PrivateFolders.h"

#include <array>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7 {
namespace {

constexpr mode_t kOthersNothing = 077;
constexpr mode_t kOwnerOnly = 0700;
constexpr mode_t kPermissionBits = 07777;

// The folders the program makes below its base, parents before children.
constexpr std::array<const char*, 5> kOwnFolders = {"Config", "Data", "Data/Classroom", "Classroom",
                                                    "Classroom/Outbox"};

void Tighten(const std::filesystem::path& folder) {
    // Opened without following a link, so a link planted under the name changes nothing it points to.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & kOthersNothing) != 0)
        ::fchmod(fd, (info.st_mode & kPermissionBits & ~kOthersNothing) | kOwnerOnly);
    ::close(fd);
}

} // namespace

void CreatePrivately() {
    ::umask(kOthersNothing);
}

void TightenOwnFolders(const std::string& base, bool withBase) {
    if (base.empty()) return;
    if (withBase) Tighten(base);
    for (const char* folder : kOwnFolders)
        Tighten(std::filesystem::path(base) / folder);
}

} // namespace vp7
