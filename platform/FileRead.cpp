// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileRead.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7 {
namespace {

enum class Part { Whole, Start };

// The bytes of `path` when it is a regular file: all of them (nothing when more than `most`), or its
// first `most`; nothing for every other case. It is opened without waiting, since a pipe opened for
// reading waits for a writer and a device may never answer, and its kind is taken from what was opened,
// not from the name, which may be swapped between a check and the opening.
std::optional<std::string> ReadRegularFile(const std::string& path, std::uintmax_t most, Part part) {
    if (path.empty()) return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> bytes;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const auto size = static_cast<std::uintmax_t>(regular ? info.st_size : 0);
    if (regular && (part == Part::Start || size <= most)) {
        // The whole file may have grown since it was measured: one byte more is read to notice.
        std::string read(static_cast<size_t>(part == Part::Whole ? size + 1 : std::min(size, most)), '\0');
        size_t have = 0;
        ssize_t got = 1;
        while (have < read.size() && got > 0) {
            got = ::read(fd, read.data() + have, read.size() - have);
            if (got > 0) have += static_cast<size_t>(got);
            if (got < 0 && errno == EINTR) got = 1;
        }
        read.resize(have);
        if (got >= 0 && have <= most) bytes = std::move(read);
    }
    ::close(fd);
    return bytes;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes) {
    return ReadRegularFile(path, maxBytes, Part::Whole);
}

std::optional<std::string> ReadFileStart(const std::string& path, size_t bytes) {
    return ReadRegularFile(path, bytes, Part::Start);
}

} // namespace vp7
