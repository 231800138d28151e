// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileRead.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vp7 {
namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes) {
    try {
        std::error_code ec;
        // A folder "opens" as a stream and then fails inside the read; a pipe or a device never ends.
        if (path.empty() || !fs::is_regular_file(path, ec)) return std::nullopt;
        const std::uintmax_t size = fs::file_size(path, ec);
        if (ec || size > maxBytes) return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        // The file may have grown since it was measured: read one byte more than allowed to notice.
        std::string bytes(static_cast<size_t>(size) + 1, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (in.bad()) return std::nullopt;
        bytes.resize(static_cast<size_t>(in.gcount()));
        if (bytes.size() > maxBytes) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace vp7
