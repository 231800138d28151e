// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StateLayout.h"

namespace vp7 {

void StateLayout::Bytes(std::string_view name, void*, std::size_t size) {
    Note(name, std::to_string(size));
}

void StateLayout::Count(std::string_view name, std::size_t&, std::size_t) {
    Note(name, "count");
}

void StateLayout::Skip(std::string_view name, std::size_t size) {
    Note(name, "skip " + std::to_string(size));
}

std::string StateLayout::Take() {
    CloseRun();
    return std::move(out_);
}

void StateLayout::Note(std::string_view name, const std::string& what) {
    std::string line = std::string(CurrentPart()) + '.' + std::string(name) + ' ' + what;
    if (run_ > 0 && line == line_) {
        ++run_;
        return;
    }
    CloseRun();
    line_ = std::move(line);
    run_ = 1;
}

void StateLayout::CloseRun() {
    if (run_ == 0) return;
    out_ += line_;
    if (run_ > 1) out_ += " x" + std::to_string(run_);
    out_ += '\n';
    run_ = 0;
}

} // namespace vp7
