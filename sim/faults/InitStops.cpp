// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/faults/InitStops.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/faults/ExtendedFaults.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

using Init = Initialization;

// A stop read outside this window lies beyond the sensor's reach.
constexpr double kWindowLow = 5.0, kWindowHigh = 95.0;
// The readings of the faulty stops: below and above the window, and a top that leaves a short stroke.
constexpr double kLowBottom = 3.0, kHighTop = 97.0, kShortTop = 30.0;
constexpr double kMinSpan = 0.3 * Init::InitSpan;
// A stop that ends this far before the end it was driven to was not reached.
constexpr double kTolerance = 0.05;

std::string P(double value) {
    return "P " + FormatFixed(value, 1, 15);
}

} // namespace

InitStops::InitStops(Simulator& sim) : sim_(sim) {}

int32_t InitStops::FrameOf(double position) {
    const double frame = std::nearbyint(40 * (position - Init::InitBottom) / Init::InitSpan);
    return std::clamp(static_cast<int32_t>(frame), 0, 40);
}

double InitStops::BottomStop() const {
    return sim_.form.BottomEndError.checked ? kLowBottom : Init::InitBottom;
}

double InitStops::TopStop() const {
    const FormState& f = sim_.form;
    return f.TopEndError.checked ? kHighTop : f.MoveRangeError.checked ? kShortTop : Init::InitTop;
}

void InitStops::PlanMove() {
    Init& init = sim_.initialization;
    SimState& s = sim_.state;
    const FormState& f = sim_.form;
    const double from = init.InitPosition, bottom = BottomStop(), top = TopStop();
    double& target = init.InitTarget;
    // The procedure drives to the ends; the stem stops where the stops are.
    if (target <= Init::InitBottom) target = bottom;
    if (target >= Init::InitTop) target = top;
    target = std::clamp(target, bottom, top);
    // A block is not passed; a stem already beyond it does not move further that way.
    if (f.BlockDownSelect.checked) target = std::max(target, std::min(from, BlockDown));
    if (f.BlockUpSelect.checked) target = std::min(target, std::max(from, BlockUp));
    s.TargetFrame = FrameOf(target);
    s.MoveDirection = target > from ? 1 : target < from ? -1 : 0;
}

void InitStops::Halt() {
    Init& init = sim_.initialization;
    SimState& s = sim_.state;
    sim_.Timer2.SetEnabled(false);
    s.MoveActive = 0;
    s.FrameTravel = 0;
    s.TargetFrame = s.CurrentFrame;
    init.InitTarget = std::clamp(init.InitPosition, Init::InitBottom, Init::InitTop);
}

bool InitStops::Failed(double top) {
    const FormState& f = sim_.form;
    InitError& error = sim_.extendedFaults.initError;
    const auto blocked = [&](double found, double expected) {
        error.Stop("Ventil blockiert", "valve blocked",
                   "Stellweg endet bei " + P(found) + " statt " + P(expected) +
                       ".\nVentil und Antrieb auf Blockade prüfen.",
                   "Travel ends at " + P(found) + " instead of " + P(expected) +
                       ".\nCheck valve and actuator for a blockage.");
    };
    const auto outside = [&](const char* de, const char* en, const char* whichDe, const char* whichEn,
                             double found) {
        const std::string window = P(kWindowLow) + " .. " + P(kWindowHigh);
        error.Stop(de, en,
                   std::string(whichDe) + " bei " + P(found) + " außerhalb " + window +
                       ".\nAnbau und Hebelarm prüfen.",
                   std::string(whichEn) + " at " + P(found) + " outside " + window +
                       ".\nCheck the mounting and the lever arm.");
    };
    if (f.BlockDownSelect.checked && Bottom > BottomStop() + kTolerance) {
        blocked(Bottom, Init::InitBottom);
    } else if (Bottom < kWindowLow) {
        outside("Anschlag unten", "bottom stop", "Unterer Anschlag", "Bottom stop", Bottom);
    } else if (f.BlockUpSelect.checked && top < TopStop() - kTolerance) {
        blocked(top, Init::InitTop);
    } else if (top > kWindowHigh) {
        outside("Anschlag oben", "top stop", "Oberer Anschlag", "Top stop", top);
    } else if (top - Bottom < kMinSpan) {
        const std::string span = P(top - Bottom), from = P(Bottom), to = P(top), least = P(kMinSpan);
        error.Stop("Spanne zu klein", "stroke too small",
                   "Spanne " + span + " (" + from + " bis " + to + "), mindestens " + least +
                       ".\nHebelarm und Getriebestellung prüfen.",
                   "Stroke " + span + " (" + from + " to " + to + "), at least " + least +
                       ".\nCheck the lever arm and the gear setting.");
    } else {
        return false;
    }
    return true;
}

void InitStops::DoState(StateVisitor& v) {
    v("initStopsBottom", Bottom);
}

} // namespace vp7
