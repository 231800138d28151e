// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program tells which keyboard keys work the device: the "Tastatur" / "Keyboard" window of
// the "Extras" menu, a line under the device's own hover help of a key, and the names assistive
// technology reads for the keys.
#include "model/DeviceCodes.h"

#include <QString>

class QAction;

namespace vp7 {

class DeviceView;

// The device key with its keyboard keys: "Mode key (M, Space)".
QString KeyAccessibleName(DeviceKey key, bool german);

// Works the menu item `item` and its window, and adds the keyboard line under the keys' hover help of
// `view`.
void AddKeyboardHelp(DeviceView& view, QAction& item);

} // namespace vp7
