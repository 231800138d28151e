// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file's bytes as a test reads or writes them whole.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vp7::test {

inline std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace vp7::test
