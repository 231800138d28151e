// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 64-bit Mersenne twister, whose numbers the standard fixes, with its state written as text the
// same way by every build: the 312 words and the position, as the desktop's standard library has
// always written it into saved states. Another library (the browser's) writes its engine differently,
// so a state from one would not load in the other with the standard engine.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace vp7 {

class Mt64 {
public:
    using result_type = uint64_t;
    static constexpr size_t kWords = 312;
    static constexpr uint64_t kDefaultSeed = 5489;

    explicit Mt64(uint64_t seed = kDefaultSeed) { seed_words(seed); }
    void seed(uint64_t value) { seed_words(value); }
    uint64_t operator()();
    static constexpr uint64_t min() { return 0; }
    static constexpr uint64_t max() { return ~uint64_t{0}; }
    bool operator==(const Mt64&) const = default;

    // "W0 W1 … W311 P": the words in decimal, then the position of the next one taken.
    friend std::ostream& operator<<(std::ostream& out, const Mt64& engine);
    // The same text; the stream fails, and the engine stays as it was, for anything else.
    friend std::istream& operator>>(std::istream& in, Mt64& engine);

private:
    void seed_words(uint64_t value);
    void Twist();

    std::array<uint64_t, kWords> words_{};
    size_t position_ = kWords;
};

} // namespace vp7
