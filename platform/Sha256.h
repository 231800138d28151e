// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SHA-256 of a file's bytes, so a report can name the exercise and the recording it was made from and
// an edited one shows. Not for secrets: anyone may recompute it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

class Sha256 {
public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest of everything added, as 64 lowercase hex digits (as sha256sum prints it); the object
    // is spent afterwards.
    std::string HexDigest();

private:
    void Block(const uint8_t* block);
    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> pending_{};
    size_t pendingSize_ = 0;
    uint64_t totalBytes_ = 0;
};

// The hex digest of `bytes` at once.
std::string Sha256Hex(std::string_view bytes);
// The hex digest of a regular file of at most `maxBytes`; nothing when it cannot be read (ReadWholeFile).
std::optional<std::string> Sha256OfFile(const std::string& path, std::uintmax_t maxBytes);

} // namespace vp7
