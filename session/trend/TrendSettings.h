// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend window's place, size, time span and whether it is open, kept in the settings file's
// section [Trend]. A missing or damaged key gives its default, so an old or hand-edited file still
// opens the window somewhere sensible; the device's own sections never see these keys.
#include <array>

namespace vp7 {

class IniFile;

struct TrendSettings {
    // The time spans the window offers, in seconds.
    static constexpr std::array<int, 5> kSpans = {30, 120, 600, 1800, 7200};
    static constexpr int kMinWidth = 320, kMinHeight = 200, kMaxExtent = 16384;

    int left = 60, top = 80, width = 760, height = 420;
    bool visible = false;
    int spanSeconds = kSpans[0];

    void Read(const IniFile& ini);
    void Write(IniFile& ini) const;
};

} // namespace vp7
