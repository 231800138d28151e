// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Packed.h"

#include <zstd.h>

namespace vp7 {

std::string Pack(std::string_view bytes, int level) {
    std::string out(ZSTD_compressBound(bytes.size()), '\0');
    const std::size_t packed = ZSTD_compress(out.data(), out.size(), bytes.data(), bytes.size(), level);
    out.resize(ZSTD_isError(packed) ? 0 : packed);
    return out;
}

std::optional<std::string> Unpack(std::string_view packed, uint64_t size) {
    if (ZSTD_getFrameContentSize(packed.data(), packed.size()) != size) return std::nullopt;
    std::string bytes(size, '\0');
    const std::size_t unpacked = ZSTD_decompress(bytes.data(), bytes.size(), packed.data(), packed.size());
    if (ZSTD_isError(unpacked) || unpacked != bytes.size()) return std::nullopt;
    return bytes;
}

} // namespace vp7
