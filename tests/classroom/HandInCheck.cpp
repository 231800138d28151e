// SPDX-License-Identifier: GPL-3.0-or-later
// vp7_handin_check PAYLOAD EXERCISE SEED: judges a hand-in as the instructor's station does, for the
// tests of seats that are no process of this build (the page's). PAYLOAD is the message as it came
// from the broker, EXERCISE the text the station sent the seat, SEED the seed it chose for it. Prints
// "verified PASSED/TOTAL" and exits 0, or "refused: WHY" and exits 1; 2 when a file is unreadable.
#include "classroom/HandIn.h"
#include "classroom/HandInVerifier.h"
#include "platform/FileRead.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>

namespace {

constexpr std::uintmax_t kExerciseMaxBytes = 1u << 20;

int Usage() {
    std::fprintf(stderr, "usage: vp7_handin_check PAYLOAD EXERCISE SEED\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const auto payload = vp7::ReadWholeFile(argv[1], vp7::kHandInMaxBytes);
    const auto exercise = vp7::ReadWholeFile(argv[2], kExerciseMaxBytes);
    uint64_t seed = 0;
    const char* seedEnd = argv[3] + std::strlen(argv[3]);
    if (!payload || !exercise || std::from_chars(argv[3], seedEnd, seed).ptr != seedEnd) return Usage();
    const auto read = vp7::ReadHandIn(*payload);
    if (const auto* why = std::get_if<std::string>(&read)) {
        std::printf("refused: unreadable hand-in: %s\n", why->c_str());
        return 1;
    }
    const vp7::SeatHandIn& handIn = std::get<vp7::HandInMessage>(read).result;
    const vp7::HandInVerdict verdict = vp7::VerifyHandIn({*exercise, seed}, handIn);
    if (!verdict.Verified()) {
        std::printf("refused: %s\n", verdict.refusal.c_str());
        return 1;
    }
    std::printf("verified %d/%d\n", verdict.replayed->passed, verdict.replayed->total);
    return 0;
}
