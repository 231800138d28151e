// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's numbers by name: the values are the device program's own (printed by the scenario runner),
// the types keep one kind of number from standing in for another.
#include <cstdint>

namespace vp7 {

// A key event for the mode logic. Each key has a press and release pair per mouse button; the key timer
// sends the codes of keys held long enough.
enum class KeyCode : uint8_t {
    None = 0, // nothing sent yet
    ModeReleased = 4,
    ModePressed = 5,
    ModeRightReleased = 6,
    ModeRightPressed = 7,
    DecreaseReleased = 8,
    DecreasePressed = 9,
    DecreaseRightReleased = 10,
    DecreaseRightPressed = 11,
    IncreaseReleased = 12,
    IncreasePressed = 13,
    IncreaseRightReleased = 14,
    IncreaseRightPressed = 15,
    HoldTimeout = 16,  // 2 s: the mode key in the diagnostics, or all three keys latched
    ModeHeld = 17,     // 5 s
    IncreaseHeld = 19, // 4.8 s
    Neutral = 20,      // redraws only; as the last code it lets the next code repeat the one before
};

// The release that ends a press, of the same key and button: each press code is one above it.
constexpr KeyCode ReleaseOf(KeyCode press) {
    return static_cast<KeyCode>(static_cast<uint8_t>(press) - 1);
}

// The codes the configuration menu and the diagnostic display ignore: the mode key's press and right
// release, the value keys' left releases and both of their right-button codes.
constexpr bool IgnoredInMenus(KeyCode code) {
    switch (code) {
    case KeyCode::ModePressed:
    case KeyCode::ModeRightReleased:
    case KeyCode::DecreaseReleased:
    case KeyCode::DecreaseRightReleased:
    case KeyCode::DecreaseRightPressed:
    case KeyCode::IncreaseReleased:
    case KeyCode::IncreaseRightReleased:
    case KeyCode::IncreaseRightPressed:
        return true;
    default:
        return false;
    }
}

// The operating mode. The diagnostic display overlays automatic or manual operation, which stays stored.
enum class Mode : uint8_t { Automatic = 0, Manual = 1, Configuration = 2, ConfigurationLeft = 3 };

// The language every text is shown in; the two-language tables hold German first.
enum class Language : uint8_t { German = 0, English = 1 };

// The three keys under the display.
enum class DeviceKey { None, Umschalt, Kleiner, Groesser };

} // namespace vp7
