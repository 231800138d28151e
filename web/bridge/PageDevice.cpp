// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/bridge/PageDevice.h"

#include "classroom/RunnerSeat.h"
#include "session/language/ScriptWords.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "sim/motion/Actuator.h"
#include "web/bridge/FormJson.h"
#include "web/bridge/PageExercise.h"
#include "web/bridge/PageHost.h"
#include "web/bridge/PageRoomLink.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vp7 {

namespace {

const char* DialogName(ModalDialog dialog) {
    return dialog == ModalDialog::SetpointScale ? "SetpointScale" : "ScreenCheck";
}

nlohmann::json ButtonNames(MsgButtons buttons) {
    nlohmann::json names = nlohmann::json::array();
    for (MsgButton b : {MsgButton::OK, MsgButton::Cancel, MsgButton::Yes, MsgButton::No})
        if (buttons.Has(b)) names.push_back(MsgButtonName(b));
    return names;
}

} // namespace

PageDevice::PageDevice(int scale) : scale_(scale) {
    Reset();
}

PageDevice::~PageDevice() = default;

namespace {
bool KnownSprite(int id) {
    return id >= 0 && id < static_cast<int>(SpriteId::Count);
}
} // namespace

uint8_t* PageDevice::SheetBuffer(int width, int height) {
    if (width <= 0 || height <= 0 || width > kLargestSheetSide || height > kLargestSheetSide) return nullptr;
    sheetWidth_ = width;
    sheetHeight_ = height;
    sheetPixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, '\0');
    return reinterpret_cast<uint8_t*>(sheetPixels_.data());
}

bool PageDevice::TakeSprite(int id, int x, int y) {
    if (!KnownSprite(id)) return false;
    const SpriteInfo& info = SpriteInfoOf(static_cast<SpriteId>(id));
    Picture picture(info.width, info.height, 0, scale_);
    const int width = picture.DeviceWidth(), height = picture.DeviceHeight();
    if (x < 0 || y < 0 || x > sheetWidth_ - width || y > sheetHeight_ - height) return false;
    Rgb* bits = picture.Bits();
    const auto* sheet = reinterpret_cast<const unsigned char*>(sheetPixels_.data());
    for (int row = 0; row < height; ++row) {
        const unsigned char* rgba = sheet + 4 * (static_cast<size_t>(y + row) * sheetWidth_ + x);
        Rgb* out = bits + static_cast<size_t>(row) * width;
        for (int column = 0; column < width; ++column, rgba += 4)
            out[column] = MakeRgb(rgba[0], rgba[1], rgba[2]);
    }
    sprites_.Set(static_cast<SpriteId>(id), std::move(picture));
    return true;
}

void PageDevice::RedrawPiston() {
    if (Simulator* sim = runner_->Sim()) sim->actuator.DrawPiston();
}

void PageDevice::RepaintPicture() {
    if (Simulator* sim = runner_->Sim()) sim->RepaintPicture();
}

std::unique_ptr<Runner> PageDevice::NewRunner(PageHost*& host) {
    auto owned = std::make_unique<PageHost>();
    owned->HoldCloseWhile([this] { return runner_ && ExerciseRuns(*runner_); });
    host = owned.get();
    return std::make_unique<Runner>(out_, programDir_, DeviceLook{std::move(owned), &sprites_});
}

void PageDevice::Reset(std::string programDir) {
    seat_.reset();
    runner_.reset();
    programDir_ = std::move(programDir);
    runner_ = NewRunner(host_);
    Began();
}

void PageDevice::SetTrainee(std::string name) {
    trainee_ = std::move(name);
    seat_->SetTrainee(trainee_);
}

void PageDevice::Began() {
    ++runnersMade_;
    seat_ = std::make_unique<RunnerSeat>(*runner_, programDir_ + "/Classroom", seatLog_, &PageRoomLink::Make);
    seat_->SetTrainee(trainee_); // the name asked once goes with every runner's seat of the visit
    formSent_.clear();
    settingsAtStart_ = SettingsText();
    pageMs_ = -1;
    carryMs_ = 0;
    out_.str({});
}

PageDevice::Outcome PageDevice::Run(const std::string& line) {
    Outcome outcome;
    try {
        runner_->Execute(line);
    } catch (const std::runtime_error& e) { // the script's words refused, or a file not read or written
        outcome.ok = false;
        outcome.error = e.what();
    }
    outcome.printed = TakePrinted();
    return outcome;
}

std::string PageDevice::TakeSeatLog() {
    std::string lines = seatLog_.str();
    seatLog_.str({});
    return lines;
}

std::string PageDevice::TakePrinted() {
    std::string printed = out_.str();
    out_.str({});
    return printed;
}

void PageDevice::PassTo(double pageMs) {
    if (pageMs_ < 0 || !runner_->Sim()) {
        pageMs_ = pageMs;
        return;
    }
    const double passed = std::max(0.0, pageMs - pageMs_) + carryMs_;
    pageMs_ = std::max(pageMs_, pageMs);
    auto whole = static_cast<int64_t>(std::floor(passed));
    carryMs_ = passed - static_cast<double>(whole);
    // An exercise with a time limit is judged where the device's clock reached it, however late the page
    // looks (a tab the browser throttles, a room's speed that hurried the clock since): the page's time
    // beyond the limit passes the device no further in this call, and the page hands the work in.
    const ExerciseRun& run = runner_->RunningExercise();
    const auto left = run.Opened() ? run.TimeLeftMs(runner_->NowMs()) : std::nullopt;
    while (whole > 0) {
        int64_t step = whole;
        if (left && *left > 0) {
            const auto untilLimit = run.TimeLeftMs(runner_->NowMs()).value_or(0);
            if (untilLimit <= 0) break;
            const double speed = runner_->Speed() > 0 ? runner_->Speed() : 1;
            step = std::min(whole, std::max<int64_t>(1, static_cast<int64_t>(std::ceil(untilLimit / speed))));
        }
        Run("wait " + std::to_string(step));
        whole -= step;
    }
}

std::optional<double> PageDevice::NextDuePageMs() const {
    const auto due = runner_->NextTimerMs();
    if (!due || pageMs_ < 0) return std::nullopt;
    const double speed = runner_->Speed() > 0 ? runner_->Speed() : 1;
    return pageMs_ - carryMs_ + static_cast<double>(std::max<int64_t>(0, *due - runner_->NowMs())) / speed;
}

std::string PageDevice::TakeChanges() {
    nlohmann::json changes;
    Simulator* sim = runner_->Sim();
    changes["device"] = sim != nullptr;
    changes["dirty"] = nullptr;
    if (sim) {
        const Rect dirty = sim->image1.TakeDirty();
        if (dirty.Width() > 0 && dirty.Height() > 0)
            changes["dirty"] = {dirty.left * scale_, dirty.top * scale_, dirty.Width() * scale_,
                                dirty.Height() * scale_};
        // The device tells of a change to its view whenever it may have changed it (each second in
        // RUN); the page hears of the form only when something in it did.
        if (sim->TakeViewChange()) {
            nlohmann::json form = FormJson(*sim, &runner_->RunningExercise());
            if (std::string text = form.dump(); text != formSent_) {
                formSent_ = std::move(text);
                changes["form"] = std::move(form);
            }
        }
    }
    changes["messages"] = nlohmann::json::array();
    for (const ScriptedHost::Message& m : host_->Messages())
        changes["messages"].push_back({{"type", MsgTypeName(m.type)},
                                       {"text", m.text},
                                       {"buttons", ButtonNames(m.buttons)},
                                       {"answer", MsgButtonName(m.answer)}});
    host_->ClearMessages();
    changes["dialogs"] = nlohmann::json::array();
    for (ModalDialog d : host_->TakeDialogsAsked())
        changes["dialogs"].push_back(DialogName(d));
    changes["close"] = host_->CloseRequested();
    host_->ClearCloseRequest();
    changes["restart"] = host_->RestartRequested();
    changes["closeHeld"] = host_->TakeHeldCloseRequest();
    return changes.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string PageDevice::Form() const {
    const Simulator* sim = runner_->Sim();
    return sim ? FormJson(*sim, &runner_->RunningExercise())
                     .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
               : "null";
}

const uint8_t* PageDevice::PictureRgba(int x, int y, int width, int height) {
    const Simulator* sim = runner_->Sim();
    rgba_.clear();
    if (!sim) return nullptr;
    const Picture& picture = sim->image1;
    const int left = std::clamp(x, 0, picture.DeviceWidth()), top = std::clamp(y, 0, picture.DeviceHeight());
    const int right = std::clamp(x + width, left, picture.DeviceWidth());
    const int bottom = std::clamp(y + height, top, picture.DeviceHeight());
    rgba_.resize(static_cast<size_t>(right - left) * static_cast<size_t>(bottom - top) * 4);
    const Rgb* bits = picture.Bits();
    size_t i = 0;
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column) {
            const Rgb p = bits[row * picture.DeviceWidth() + column];
            rgba_[i++] = static_cast<char>(p >> 16);
            rgba_[i++] = static_cast<char>(p >> 8);
            rgba_[i++] = static_cast<char>(p);
            rgba_[i++] = static_cast<char>(0xFF);
        }
    return reinterpret_cast<const uint8_t*>(rgba_.data());
}

} // namespace vp7
