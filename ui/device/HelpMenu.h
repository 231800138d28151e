// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Hilfe" / "Help" menu at the end of the menu bar: "Kurzanleitung" / "Quick guide" (F1) shows how
// the device is operated, in a window of the program, and "Über" / "About" the program's version, its
// licence and the Qt it was built with. Both follow the program's language.
namespace vp7 {

class DeviceWindow;

// Works the menu's two items and their windows.
void AddHelpMenu(DeviceWindow& window);

} // namespace vp7
