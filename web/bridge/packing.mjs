// SPDX-License-Identifier: GPL-3.0-or-later
// The zstd frames of states and backtracks, for the simulator's WebAssembly build: packed and unpacked
// by the reference zstd built for the web (npm's @bokuweb/zstd-wasm), whose module is handed in
// initialized. The program calls these through Module.vp7Packing (PackedByPage.cpp).

// Copies `bytes` into the zstd module's memory for `use`, and frees what it took, also on a throw.
function withBuffers(zstd, sizes, use) {
    const pointers = sizes.map((size) => zstd._malloc(Math.max(size, 1)));
    try {
        if (pointers.some((p) => p === 0)) return null;
        return use(...pointers);
    } finally {
        for (const p of pointers) if (p) zstd._free(p);
    }
}

export function makePacking(zstd) {
    return {
        // One frame of `bytes` at `level`; null when zstd fails.
        pack(bytes, level) {
            const bound = zstd._ZSTD_compressBound(bytes.length);
            return withBuffers(zstd, [bytes.length, bound], (source, target) => {
                zstd.HEAPU8.set(bytes, source);
                const size = zstd._ZSTD_compress(target, bound, source, bytes.length, level);
                if (zstd._ZSTD_isError(size)) return null;
                return zstd.HEAPU8.slice(target, target + size);
            });
        },
        // The bytes of a frame that declares exactly `size` of them; null for anything else (damage).
        // The declared size is checked before any memory is taken for it.
        unpack(packed, size) {
            return withBuffers(zstd, [packed.length], (source) => {
                zstd.HEAPU8.set(packed, source);
                // A 64-bit result arrives as its low 32 bits: unknown (-1) and error (-2) never match a
                // size, and a frame claiming more than 4 GB fails below for want of room.
                const declared = zstd._ZSTD_getFrameContentSize(source, packed.length) >>> 0;
                if (declared !== size) return null;
                return withBuffers(zstd, [size], (target) => {
                    const unpacked = zstd._ZSTD_decompress(target, size, source, packed.length);
                    if (zstd._ZSTD_isError(unpacked) || unpacked !== size) return null;
                    return zstd.HEAPU8.slice(target, target + size);
                });
            });
        },
    };
}
