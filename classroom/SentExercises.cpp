// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/SentExercises.h"

#include "classroom/SeatCommand.h"
#include "formats/AtomicFile.h"
#include "platform/FileRead.h"
#include "platform/Sha256.h"

#include <charconv>
#include <filesystem>

namespace vp7 {
namespace {

// "seed N" on the first line, the exercise's text exactly as sent after it.
constexpr std::string_view kSeedWord = "seed ";
// The seat's name is the seat's choice: the file is named by its digest, never by the name itself.
constexpr std::size_t kSeatKeyDigits = 16;
constexpr std::size_t kLongestSeedLine = 32;

std::optional<SentExercise> ReadSent(std::string_view bytes) {
    const std::size_t end = bytes.find('\n');
    if (!bytes.starts_with(kSeedWord) || end == std::string_view::npos || end > kLongestSeedLine)
        return std::nullopt;
    const std::string_view word = bytes.substr(kSeedWord.size(), end - kSeedWord.size());
    SentExercise sent;
    const auto [at, error] = std::from_chars(word.data(), word.data() + word.size(), sent.seed);
    if (error != std::errc() || at != word.data() + word.size()) return std::nullopt;
    sent.text = bytes.substr(end + 1);
    if (sent.text.empty()) return std::nullopt;
    return sent;
}

} // namespace

SentExercises::SentExercises(std::string folder) : folder_(std::move(folder)) {}

std::string SentExercises::FileFor(const std::string& seat) const {
    return (std::filesystem::path(folder_) / ("sent-" + Sha256Hex(seat).substr(0, kSeatKeyDigits) + ".txt"))
        .string();
}

bool SentExercises::Keep(const std::string& seat, SentExercise sent) {
    bool written = folder_.empty();
    if (!written) {
        std::error_code ec;
        std::filesystem::create_directories(folder_, ec);
        written = WriteFileAtomically(FileFor(seat),
                                      std::string(kSeedWord) + std::to_string(sent.seed) + '\n' + sent.text);
    }
    sent_[seat] = std::move(sent);
    return written;
}

std::optional<SentExercise> SentExercises::For(const std::string& seat) const {
    if (const auto kept = sent_.find(seat); kept != sent_.end()) return kept->second;
    if (folder_.empty()) return std::nullopt;
    const auto bytes = ReadWholeFile(FileFor(seat), kCommandMaxBytes + kLongestSeedLine);
    return bytes ? ReadSent(*bytes) : std::nullopt;
}

} // namespace vp7
