// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What assistive technology sees of the device picture: the positioner, with the three keys as buttons
// named with their keyboard keys and the display as a text that reads what it shows ("37.4",
// "AUT 37"), read back from the picture's pixels as a person reads it.
namespace vp7 {

class PictureWidget;

// Makes the device pictures answer with that interface (once per program; later calls do nothing).
void InstallPictureAccessibility();

// The display of `picture` may show something else now; a listening screen reader is told when it does.
void NotifyDisplayChanged(PictureWidget& picture);

} // namespace vp7
