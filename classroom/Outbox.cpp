// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/Outbox.h"

#include "classroom/RoomNames.h"
#include "formats/AtomicFile.h"
#include "platform/FileRead.h"

#include <algorithm>

namespace vp7 {
namespace {

constexpr std::string_view kSuffix = ".json";

bool IsEntry(const std::filesystem::directory_entry& file) {
    std::error_code ec;
    return file.is_regular_file(ec) && file.path().filename().string().ends_with(kSuffix);
}

// How many entries there are, without reading them: a hand-in with its recording is hundreds of kilobytes.
size_t EntryCount(const std::filesystem::path& folder) {
    std::error_code ec;
    size_t count = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder, ec))
        count += IsEntry(file);
    return count;
}

} // namespace

Outbox::Outbox(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::optional<std::filesystem::path> Outbox::Add(std::string_view id, std::string_view payload) {
    if (RoomNameProblem("id", id) || payload.size() > kEntryMaxBytes || EntryCount(folder_) >= kMaxEntries)
        return std::nullopt;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    const std::filesystem::path path = folder_ / (std::string(id) + std::string(kSuffix));
    if (!WriteFileAtomically(path.string(), payload)) return std::nullopt;
    return path;
}

std::vector<Outbox::Entry> Outbox::Entries() const {
    std::vector<Entry> entries;
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(folder_, ec)) {
        if (!IsEntry(file)) continue;
        if (auto payload = ReadWholeFile(file.path().string(), kEntryMaxBytes))
            entries.push_back({file.path(), std::move(*payload)});
        if (entries.size() == kMaxEntries) break;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
    return entries;
}

void Outbox::Remove(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

} // namespace vp7
