// SPDX-License-Identifier: GPL-3.0-or-later
// States and backtracks packed as zstd frames in a browser: the page's zstd (the reference library built
// for the web, from npm) packs and unpacks them through `Module.vp7Packing` (packing.mjs), which the page
// or the Node runner sets before the program starts. The frames are the desktop's, so a state saved on
// one loads on the other.
#include "session/Packed.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace {

// Each returns a malloc'd copy of the result and its size, or null.
EM_JS(char*, PackInPage, (const char* data, size_t size, int level, size_t* resultSize), {
    const packed = Module.vp7Packing.pack(HEAPU8.subarray(data, data + size), level);
    if (!packed) return 0;
    const out = _malloc(Math.max(packed.length, 1));
    HEAPU8.set(packed, out);
    HEAPU32[resultSize >> 2] = packed.length;
    return out;
});

EM_JS(char*, UnpackInPage, (const char* data, size_t size, double expected), {
    const bytes = Module.vp7Packing.unpack(HEAPU8.subarray(data, data + size), expected);
    if (!bytes || bytes.length != expected) return 0;
    const out = _malloc(Math.max(bytes.length, 1));
    HEAPU8.set(bytes, out);
    return out;
});

struct FreeWithFree {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

namespace vp7 {

std::string Pack(std::string_view bytes, int level) {
    size_t size = 0;
    const std::unique_ptr<char, FreeWithFree> packed(PackInPage(bytes.data(), bytes.size(), level, &size));
    return packed ? std::string(packed.get(), size) : std::string();
}

std::optional<std::string> Unpack(std::string_view packed, uint64_t size) {
    // A size beyond what the page's memory can hold is damage, not a state.
    if (size > (uint64_t{1} << 31)) return std::nullopt;
    const std::unique_ptr<char, FreeWithFree> bytes(
        UnpackInPage(packed.data(), packed.size(), static_cast<double>(size)));
    if (!bytes) return std::nullopt;
    return std::string(bytes.get(), size);
}

} // namespace vp7
