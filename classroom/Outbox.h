// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hand-ins not yet acknowledged by the broker, one file each in a folder on disk, so that none is
// lost when the broker or the program goes down before it was delivered.
#include "classroom/HandIn.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class Outbox {
public:
    // A hand-in message is a page, and the recording it carries.
    static constexpr std::uintmax_t kEntryMaxBytes = kHandInMaxBytes;
    // More than a class hands in in a day; beyond it the oldest are still sent, none is added.
    static constexpr std::size_t kMaxEntries = 1000;

    explicit Outbox(std::filesystem::path folder);
    const std::filesystem::path& Folder() const { return folder_; }

    struct Entry {
        std::filesystem::path path;
        std::string payload;
    };
    // Keeps `payload` under `id` (letters, digits, '-', '_', '.'); the path, or nullopt when it could not
    // be written.
    std::optional<std::filesystem::path> Add(std::string_view id, std::string_view payload);
    // Every entry kept, oldest name first; files that are no entry of ours are passed over.
    std::vector<Entry> Entries() const;
    static void Remove(const std::filesystem::path& path);

private:
    std::filesystem::path folder_;
};

} // namespace vp7
