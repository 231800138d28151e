// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/trend/TrendSettings.h"

#include "formats/IniFile.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <string>

namespace vp7 {
namespace {
constexpr const char* kSection = "Trend";
} // namespace

void TrendSettings::Read(const IniFile& ini) {
    const TrendSettings defaults;
    const auto number = [&](const char* key, int fallback, int low, int high) {
        const auto v = ReadInt32(ini.ReadString(kSection, key, ""));
        return v && *v >= low && *v <= high ? *v : fallback;
    };
    left = number("Left", defaults.left, -kMaxExtent, kMaxExtent);
    top = number("Top", defaults.top, -kMaxExtent, kMaxExtent);
    width = number("Width", defaults.width, kMinWidth, kMaxExtent);
    height = number("Height", defaults.height, kMinHeight, kMaxExtent);
    visible = number("Visible", 0, 0, 1) == 1;
    const int span = number("Span", defaults.spanSeconds, 1, kSpans.back());
    spanSeconds = std::find(kSpans.begin(), kSpans.end(), span) != kSpans.end() ? span : defaults.spanSeconds;
}

void TrendSettings::Write(IniFile& ini) const {
    ini.WriteString(kSection, "Left", std::to_string(left));
    ini.WriteString(kSection, "Top", std::to_string(top));
    ini.WriteString(kSection, "Width", std::to_string(width));
    ini.WriteString(kSection, "Height", std::to_string(height));
    ini.WriteString(kSection, "Visible", visible ? "1" : "0");
    ini.WriteString(kSection, "Span", std::to_string(spanSeconds));
}

} // namespace vp7
