// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared state of one simulated device: what every part of the simulation reads and writes
// directly. Field names are the device program's own, so they can be looked up by name.
#include "model/DeviceCodes.h"
#include "model/SpriteSet.h"

#include <array>
#include <cstdint>

namespace vp7 {

class StateVisitor;

struct SimState {
    // Every field below, for a snapshot.
    void DoState(StateVisitor& v);

    // Setpoint path
    double Sollwert = 0;
    double ReglerSollwert = 0;
    double KennlinienEingang = 0;
    double PositionSetpoint = 0;
    double SollwertShown = 0;
    double AutoTarget = 0;
    double ManuellTarget = 0;
    double DeadBand = 0;
    double DeadBandOffset = 0;
    double TightCloseInput = 0;

    // Valve and its motion
    double Istwert = 0;
    int32_t MoveDirection = 0;
    int32_t LastDirection = 1;
    int32_t TargetFrame = 0;
    int32_t CurrentFrame = 0;
    double FrameTravel = 0;
    double StepUp = 0;
    double StepDown = 0;
    uint8_t MoveActive = 0;
    std::array<SpriteId, 41> KolbenFrames{};
    int32_t BaseTimeUp = 2500;
    int32_t BaseTimeDown = 2500;

    // Marker rows on the three scales
    int32_t SollwertMarkY = 0;
    int32_t ReglerMarkY = 0;
    int32_t VentilMarkY = 0;

    uint8_t ScalesValid = 0;
    uint8_t MarksErased = 1;

    // Just after configuration the version is shown until the next key event (ConfigurationLeft).
    vp7::Mode Mode = vp7::Mode::Automatic;
    // Mode forced by a binary input: 0 none, 1 "EX UP", 2 "EXDWN", 3 "EXSTP"
    uint8_t BinMode = 0;
    uint8_t DiagnosticMode = 0;
    uint8_t InitRunning = 0;
    uint8_t InitStepRunning = 0;
    // The last key event code passed on to the mode logic; Neutral lets the next code repeat.
    KeyCode LastKeyCode = KeyCode::None;
    // Set while program code sets controls; option handlers do nothing meanwhile.
    uint8_t Updating = 0;

    // Device variant: 0 = 0/4-20 mA, 1 = PA, 2 = FF; fixed for a run
    uint8_t ControllerType = 0;
    // German until the settings are read, as the device program started.
    vp7::Language Language = vp7::Language::German;

    // Front panel
    uint8_t GearIs33 = 1;
    uint8_t SplashValid = 0;
    uint8_t SplashDone = 0;
    uint8_t RestartRequested = 0;
    uint8_t CheckScreen = 1;
    uint8_t CloseApplication = 0;
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t ScreenBitsPerPixel = 0;

    // Of a German and an English text, the one of the language shown.
    const char* Text(const char* de, const char* en) const {
        return Language == vp7::Language::German ? de : en;
    }
    template <typename T> const T& Text(const T& de, const T& en) const {
        return Language == vp7::Language::German ? de : en;
    }
};

} // namespace vp7
