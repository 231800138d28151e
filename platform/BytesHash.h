// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A 64-bit hash of bytes (FNV-1a over eight bytes at a time): quick over megabytes of pixels, for
// telling contents apart and noticing damage, not against anyone forging them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vp7 {

inline constexpr uint64_t kBytesHashStart = 0xcbf29ce484222325ull;

inline uint64_t BytesHash(std::string_view bytes, uint64_t hash = kBytesHashStart) {
    constexpr uint64_t kPrime = 0x100000001b3ull;
    std::size_t i = 0;
    for (; i + sizeof(uint64_t) <= bytes.size(); i += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        hash = (hash ^ word) * kPrime;
    }
    for (; i < bytes.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * kPrime;
    return hash;
}

} // namespace vp7
