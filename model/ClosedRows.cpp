// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ClosedRows.h"

#include "model/FormState.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vp7 {
namespace {

bool Inside(const Control& area, int x, int y) {
    return x >= area.left && x < area.left + area.width && y >= area.top && y < area.top + area.height;
}

} // namespace

ClosedRows RowsClosedUp(const std::set<std::string>& hidden) {
    ClosedRows closed;
    if (hidden.empty()) return closed;
    static const FormState kDesigned;
    for (const Control* group : kDesigned.All()) {
        if (group->kind != ControlKind::Group) continue;
        std::vector<std::pair<int, const Control*>> rows; // by their top within the group
        for (const Control* c : kDesigned.All()) {
            if (!c->visible || c == group) continue;
            if (c->parent == group->name)
                rows.emplace_back(c->top, c);
            else if (c->parent.empty() && c->kind != ControlKind::Group && Inside(*group, c->left, c->top))
                rows.emplace_back(c->top - group->top, c);
        }
        std::sort(rows.begin(), rows.end());
        int shift = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Control& row = *rows[i].second;
            if (!hidden.contains(row.name)) {
                if (shift > 0) closed.up[row.name] = shift;
                continue;
            }
            // The last row takes as much room as the one above it.
            if (i + 1 < rows.size())
                shift += rows[i + 1].first - rows[i].first;
            else if (i > 0)
                shift += rows[i].first - rows[i - 1].first;
        }
        if (shift > 0) closed.shorter[group->name] = shift;
    }
    return closed;
}

} // namespace vp7
