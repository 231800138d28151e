// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/Splash.h"

#include "platform/BmpFile.h"
#include "platform/Host.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/FrontPanel.h"

#include <filesystem>

namespace vp7 {
namespace {

constexpr int kZoomStepMs = 5; // one step of the growing picture

bool RowsBlack(const Picture& p, int from, int to) {
    for (int y = from; y <= to && y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (p.Pixel(x, y) != 0) return false;
    return true;
}

} // namespace

Splash::Splash(Simulator& sim) : sim_(sim), timer_(sim.clock, "SplashTimer", 500) {
    timer_.SetHandler([this] { ZoomStep(); });
}

bool Splash::Passes(const Picture& p) {
    if (p.Width() <= 700 || p.Height() <= 207) return false;
    if (!RowsBlack(p, 0, 10) || !RowsBlack(p, 99, 128) || !RowsBlack(p, 196, p.Height() - 1)) return false;
    return p.Pixel(200, 135) == MakeRgb(117, 0, 0) && p.Pixel(356, 177) == MakeRgb(255, 124, 124) &&
           p.Pixel(373, 91) == MakeRgb(138, 255, 138);
}

void Splash::Load() {
    sim_.state.SplashValid = 0;
    if (sim_.options.withoutSplash) return;
    bitmap_ = ReadBmp((std::filesystem::path(sim_.programDir) / "Opening.bmp").string());
    if (!bitmap_) return;
    const Control& view = sim_.form.Image2;
    image2 = Picture(view.width, view.height, 0, sim_.image1.Scale());
    if (!Passes(*bitmap_)) {
        bitmap_.reset();
        return;
    }
    sim_.state.SplashValid = 1;
    sim_.frontPanel.VisibleObjects(false);
}

void Splash::Begin(std::function<void()> done) {
    done_ = std::move(done);
    running_ = true;
    sim_.state.SplashDone = 0;
    sim_.form.Image2.visible = true;
    width_ = 0;
    timer_.SetInterval(500); // the picture appears after half a second
    timer_.SetEnabled(true);
    sim_.ViewChanged();
}

void Splash::ZoomStep() {
    if (waitingForClick_) return;
    timer_.SetInterval(kZoomStepMs);
    if (!sim_.state.SplashDone && width_ < bitmap_->Width()) {
        width_ += 2; // one point wider on the left and on the right
        DrawZoomed();
        return;
    }
    timer_.SetEnabled(false);
    DrawClickPrompt();
    waitingForClick_ = true;
    if (sim_.state.SplashDone) Finish();
}

// Each step draws the whole picture at its new width, over the narrower one before.
void Splash::DrawZoomed() {
    const int cx = image2.Width() / 2, cy = image2.Height() / 2;
    const int height = static_cast<int>(static_cast<int64_t>(bitmap_->Height()) * width_ / bitmap_->Width());
    image2.StretchDraw({cx - width_ / 2, cy - height / 2, cx + width_ / 2, cy + height / 2}, *bitmap_);
}

void Splash::DrawClickPrompt() {
    sim_.host.TextOut(image2, 425, 600, "Weiter mit Mausklick...", Font{"MS Sans Serif", 10, true},
                      MakeRgb(255, 255, 0), 0);
}

void Splash::Redraw() {
    if (!running_ || !bitmap_) return;
    const Control& view = sim_.form.Image2;
    image2 = Picture(view.width, view.height, 0, sim_.image1.Scale());
    if (width_ > 0) DrawZoomed();
    if (waitingForClick_) DrawClickPrompt();
}

void Splash::Image2Click() {
    sim_.state.SplashDone = 1;
    if (waitingForClick_) Finish();
}

void Splash::Finish() {
    waitingForClick_ = false;
    running_ = false;
    bitmap_.reset();
    sim_.frontPanel.VisibleObjects(true);
    sim_.form.Image2.visible = false;
    sim_.ViewChanged();
    if (done_) done_();
}

void Splash::DoState(StateVisitor& v) {
    v.Part("splash");
    v("width", width_);
    const bool running = v.Value("running", running_);
    if (!v.Saving() && running && !bitmap_) throw StateError("a splash picture under way that is not here");
    v("waitingForClick", waitingForClick_);
    // Only a splash under way shows its picture; a finished one's is gone.
    if (running) v("image2", image2);
    if (v.Loading()) running_ = running;
}

} // namespace vp7
