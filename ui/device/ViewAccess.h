// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A device view for keyboard and screen reader users: Tab goes through the controls in the order they
// are laid out and ends on the device picture, and controls without a caption of their own get a name.
namespace vp7 {

class DeviceView;

void MakeViewAccessible(DeviceView& view);

} // namespace vp7
