// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The optional splash picture "Opening.bmp" beside the program: checked when the window is created,
// grown from the centre at the start-up tick, then "Weiter mit Mausklick..." until the user clicks.
// The rest of the start-up waits for that click; until then the window cannot be closed.
#include "platform/Clock.h"
#include "platform/Picture.h"

#include <functional>
#include <optional>

namespace vp7 {

class StateVisitor;

class Simulator;

class Splash {
public:
    explicit Splash(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);
    Timer& ZoomTimer() { return timer_; }
    // A restored splash under way goes on to `done` when clicked away.
    void Resume(std::function<void()> done) { done_ = std::move(done); }

    // Loads and tests the picture; sets SplashValid and hides the option controls when it passes.
    void Load();
    // The picture's test: size, black bands and three marker pixels.
    static bool Passes(const Picture& picture);
    // Shows the splash view, waits 500 ms, then grows the picture; `done` runs after the click.
    void Begin(std::function<void()> done);
    // A click on the splash view.
    void Image2Click();
    bool Running() const { return running_; }
    // A splash under way drawn anew from where its zoom stands (a snapshot of another picture scale).
    void Redraw();

    // The splash view over the whole client area.
    Picture image2;

private:
    void ZoomStep();
    void DrawZoomed();
    void DrawClickPrompt();
    void Finish();
    Simulator& sim_;
    std::optional<Picture> bitmap_;
    Timer timer_;
    int width_ = 0;
    bool running_ = false, waitingForClick_ = false;
    std::function<void()> done_;
};

} // namespace vp7
