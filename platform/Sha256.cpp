// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sha256.h"

#include "platform/FileRead.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vp7 {
namespace {

constexpr size_t kBlockBytes = 64;
constexpr size_t kLengthBytes = 8; // the message length in bits closes the last block
constexpr uint8_t kFirstPadByte = 0x80;

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr std::array<uint32_t, 8> kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

} // namespace

Sha256::Sha256() : state_(kInitialState) {}

void Sha256::Block(const uint8_t* block) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = BigEndian32(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 64; ++i) {
        const uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const uint32_t choose = (e & f) ^ (~e & g);
        const uint32_t t1 = h + s1 + choose + kRoundConstants[i] + w[i];
        const uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + s0 + majority;
    }
    const uint32_t worked[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i)
        state_[i] += worked[i];
}

void Sha256::Add(std::string_view bytes) {
    totalBytes_ += bytes.size();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t left = bytes.size();
    while (left > 0) {
        const size_t taken = std::min(left, kBlockBytes - pendingSize_);
        std::memcpy(pending_.data() + pendingSize_, p, taken);
        pendingSize_ += taken;
        p += taken;
        left -= taken;
        if (pendingSize_ == kBlockBytes) {
            Block(pending_.data());
            pendingSize_ = 0;
        }
    }
}

std::string Sha256::HexDigest() {
    const uint64_t bits = totalBytes_ * 8;
    const char first = static_cast<char>(kFirstPadByte);
    Add(std::string_view(&first, 1));
    const char zero = 0;
    while (pendingSize_ != kBlockBytes - kLengthBytes)
        Add(std::string_view(&zero, 1));
    char length[kLengthBytes];
    for (size_t i = 0; i < kLengthBytes; ++i)
        length[i] = static_cast<char>(bits >> (8 * (kLengthBytes - 1 - i)));
    Add(std::string_view(length, kLengthBytes));
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const uint32_t word : state_)
        for (int shift = 28; shift >= 0; shift -= 4)
            hex += kHex[(word >> shift) & 0xf];
    return hex;
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 sha;
    sha.Add(bytes);
    return sha.HexDigest();
}

std::optional<std::string> Sha256OfFile(const std::string& path, std::uintmax_t maxBytes) {
    const auto bytes = ReadWholeFile(path, maxBytes);
    if (!bytes) return std::nullopt;
    return Sha256Hex(*bytes);
}

} // namespace vp7
