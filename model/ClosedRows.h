// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How far up a control moves, and a group shrinks, so that the rows a trainee is not shown leave no
// empty row telling where they were: in each group, its own rows and the form's lying in it, a hidden
// row gives its place to those below. The rows are the ones the form was designed to show.
#include <map>
#include <set>
#include <string>

namespace vp7 {

struct ClosedRows {
    std::map<std::string, int> up, shorter; // points, by control name

    int Up(const std::string& name) const { return PointsOf(up, name); }
    int Shorter(const std::string& name) const { return PointsOf(shorter, name); }

private:
    static int PointsOf(const std::map<std::string, int>& by, const std::string& name) {
        const auto found = by.find(name);
        return found == by.end() ? 0 : found->second;
    }
};

ClosedRows RowsClosedUp(const std::set<std::string>& hidden);

} // namespace vp7
