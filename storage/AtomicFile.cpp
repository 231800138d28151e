#include "storage/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vp7 {
namespace fs = std::filesystem;

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string tempPath = path + ".tmp";
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
        std::error_code ec;
        fs::rename(tempPath, path, ec);
        if (ec) return discardTemp();
        return true;
    } catch (const std::exception&) {
        return discardTemp();
    }
}

} // namespace vp7
