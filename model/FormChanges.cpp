// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FormChanges.h"

namespace vp7 {
namespace {

template <typename T> bool Update(T& kept, const T& now) {
    if (kept == now) return false;
    kept = now;
    return true;
}

} // namespace

FormChanges::Taken FormChanges::Take(const FormState& form) {
    Taken taken;
    const std::vector<Control*>& all = form.All();
    const bool first = !taken_ || controls_.size() != all.size();
    if (first) controls_.assign(all.size(), Control{});
    for (size_t i = 0; i < all.size(); ++i)
        if (Update(controls_[i], *all[i]) || first) taken.controls.push_back(all[i]);
    // Every part is brought up to date, so none may be skipped by a shortcut.
    const bool title = Update(title_, form.title), maximized = Update(maximized_, form.maximized),
               cursor = Update(cursor_, form.cursor);
    taken.window = first || title || maximized || cursor;
    const bool info = Update(initInfo_, form.initInfo), table = Update(parTab_, form.parTab),
               scale = Update(scaleDialog_, form.scaleDialog), check = Update(screenCheck_, form.screenCheck);
    taken.smallWindows = first || info || table || scale || check;
    taken_ = true;
    return taken;
}

void FormChanges::Refresh(std::string_view name) {
    for (Control& kept : controls_)
        if (kept.name == name) kept.name.clear(); // no control of the form is nameless
}

} // namespace vp7
