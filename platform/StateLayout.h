// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A snapshot's layout as text: every field a walk visits, one line each, "part.field SIZE" for a
// field's bytes and "part.field count" for the length before a text or a sequence; a run of the same
// line (an array's items) is one line with the run's length behind it. Values are left out and a
// sequence shows one item whatever its length, so the listing changes only when a field is added,
// removed, renamed or resized: what must go with a new format.
#include "platform/StateVisitor.h"

#include <string>

namespace vp7 {

class StateLayout final : public StateVisitor {
public:
    explicit StateLayout(uint32_t format) : StateVisitor(Mode::List, format) {}

    void Bytes(std::string_view name, void* data, std::size_t size) override;
    void Count(std::string_view name, std::size_t& count, std::size_t max) override;
    void Skip(std::string_view name, std::size_t size) override;

    // The lines so far, the last run closed.
    std::string Take();

private:
    void Note(std::string_view name, const std::string& what);
    void CloseRun();

    std::string out_;
    std::string line_; // the run being counted
    int run_ = 0;
};

} // namespace vp7
