// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Mt64.h"

#include <istream>
#include <ostream>

namespace vp7 {

namespace {
// The standard's mt19937_64 parameters.
constexpr size_t kShift = 156;
constexpr int kSeparation = 31;
constexpr uint64_t kTwist = 0xb5026f5aa96619e9ULL;
constexpr int kTemperU = 29;
constexpr uint64_t kTemperD = 0x5555555555555555ULL;
constexpr int kTemperS = 17;
constexpr uint64_t kTemperB = 0x71d67fffeda60000ULL;
constexpr int kTemperT = 37;
constexpr uint64_t kTemperC = 0xfff7eee000000000ULL;
constexpr int kTemperL = 43;
constexpr uint64_t kInitMultiplier = 6364136223846793005ULL;
constexpr uint64_t kUpper = ~uint64_t{0} << kSeparation;
constexpr uint64_t kLower = ~kUpper;

uint64_t Mixed(uint64_t high, uint64_t low, uint64_t far) {
    const uint64_t y = (high & kUpper) | (low & kLower);
    return far ^ (y >> 1) ^ ((y & 1) ? kTwist : 0);
}
} // namespace

void Mt64::seed_words(uint64_t value) {
    words_[0] = value;
    for (size_t i = 1; i < kWords; ++i)
        words_[i] = kInitMultiplier * (words_[i - 1] ^ (words_[i - 1] >> 62)) + i;
    position_ = kWords;
}

void Mt64::Twist() {
    for (size_t k = 0; k < kWords; ++k)
        words_[k] = Mixed(words_[k], words_[(k + 1) % kWords], words_[(k + kShift) % kWords]);
    position_ = 0;
}

uint64_t Mt64::operator()() {
    if (position_ >= kWords) Twist();
    uint64_t z = words_[position_++];
    z ^= (z >> kTemperU) & kTemperD;
    z ^= (z << kTemperS) & kTemperB;
    z ^= (z << kTemperT) & kTemperC;
    z ^= z >> kTemperL;
    return z;
}

std::ostream& operator<<(std::ostream& out, const Mt64& engine) {
    for (uint64_t word : engine.words_)
        out << word << ' ';
    return out << engine.position_;
}

std::istream& operator>>(std::istream& in, Mt64& engine) {
    Mt64 read;
    for (uint64_t& word : read.words_)
        in >> word;
    in >> read.position_;
    if (read.position_ > Mt64::kWords) in.setstate(std::ios::failbit);
    if (in) engine = read;
    return in;
}

} // namespace vp7
