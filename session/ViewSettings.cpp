// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ViewSettings.h"

#include "formats/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/SameWord.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace vp7 {
namespace {
constexpr const char* kSection = "View";
constexpr const char* kFitWord = "Fit";
} // namespace

void ViewSettings::Read(const IniFile& ini) {
    *this = ViewSettings();
    const std::string zoom = ini.ReadString(kSection, "Zoom", "");
    if (SameIgnoringCase(zoom, kFitWord)) {
        fit = true;
        const auto last = ReadInt32(ini.ReadString(kSection, "FitZoom", ""));
        if (last && *last >= kFitLeast && *last <= kFitMost) fitPercent = *last;
        return;
    }
    const auto step = ReadInt32(zoom);
    if (step && std::find(kSteps.begin(), kSteps.end(), *step) != kSteps.end()) percent = *step;
}

void ViewSettings::Write(IniFile& ini) const {
    if (!Chosen()) return;
    ini.WriteString(kSection, "Zoom", fit ? kFitWord : std::to_string(percent));
    if (fit) ini.WriteString(kSection, "FitZoom", std::to_string(fitPercent));
}

} // namespace vp7
