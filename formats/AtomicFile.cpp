// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vp7 {
namespace fs = std::filesystem;

namespace {

// A rename replaces a file whenever its folder is writable, whatever the file's own mode says. Opening
// it for appending asks the system whether this user may change it, and changes nothing.
bool MayChange(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return true;
    if (!fs::is_regular_file(file, ec)) return false; // a folder or a pipe in the way is never replaced
    return static_cast<bool>(std::ofstream(file, std::ios::binary | std::ios::app));
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::error_code ec;
    // A link stays a link: the file it points to is the one replaced.
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) return false;
    }
    if (!MayChange(target)) return false; // a write-protected file stays as it is
    const fs::perms keptPerms =
        fs::exists(target, ec) ? fs::status(target, ec).permissions() : fs::perms::unknown;

    const fs::path tempPath = target.string() + ".tmp";
    bool tempCreated = false;
    // Only remove what we created: the temporary path may be something else entirely.
    const auto discardTemp = [&] {
        if (!tempCreated) return false;
        std::error_code ignored;
        fs::remove(tempPath, ignored);
        return false;
    };
    try {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        tempCreated = true;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        out.close();
        if (out.fail()) return discardTemp();
        // The replacement keeps the mode of the file it replaces (a settings file of 640 stays 640).
        if (keptPerms != fs::perms::unknown) {
            fs::permissions(tempPath, keptPerms, ec);
            if (ec) return discardTemp();
        }
        fs::rename(tempPath, target, ec);
        if (ec) return discardTemp();
        return true;
    } catch (const std::exception&) {
        return discardTemp();
    }
}

} // namespace vp7
