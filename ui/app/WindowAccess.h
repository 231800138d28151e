// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window for keyboard and screen reader users: Tab goes through the controls in the order they
// are laid out and ends on the device picture, and controls without a caption of their own get a name.
namespace vp7 {

class MainWindow;

void MakeWindowAccessible(MainWindow& window);

} // namespace vp7
