// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A device window's trend window: shown and hidden by the window's "Verlauf" / "Trend" item at the place
// the window keeps, redrawn as the device records, in the device's language and at the small windows'
// zoom, and following every session the window takes.
#include <memory>

namespace vp7 {

class DeviceWindow;
class TrendWindow;

std::unique_ptr<TrendWindow> OpenTrendWindow(DeviceWindow& window);

} // namespace vp7
