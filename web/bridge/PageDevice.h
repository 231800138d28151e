// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device a page shows: the scenario runner's own device, with the desktop's artwork and the page's
// text, driven by the page in the runner's words (`press mode`, `set ReibungSelect 1`, `wait 40`), the
// same words a recording holds. The page reads back what changed after each of its calls.
#include "model/SpriteSet.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace vp7 {

class PageHost;
class Runner;
class RunnerSeat;

class PageDevice {
public:
    // The program's folder in the page's file system: settings, data, files uploaded.
    static constexpr const char* kProgramDir = "/vp7";

    explicit PageDevice(int scale);
    ~PageDevice();

    int Scale() const { return scale_; }
    // Room for a sheet of the artwork's RGBA pixels at the device's scale, then sprites cut from it at
    // their places (device pixels); a sheet larger than any image a browser decodes gets none, and an
    // unknown sprite or one reaching past the sheet is refused.
    static constexpr int kLargestSheetSide = 16384;
    uint8_t* SheetBuffer(int width, int height);
    bool TakeSprite(int id, int x, int y);
    // The piston drawn again from its sprites: the sheets of its travel frames are handed over after
    // the first picture, which may have shown a frame still missing.
    void RedrawPiston();
    // The whole picture drawn again from the sprites: the device starts while the sheets the first
    // picture needs still decode, and draws on sprites still empty until then.
    void RepaintPicture();
    // A new runner, no device yet: the lines before `start` (or `exercise`, `state`) come next. Its
    // settings and data are in `programDir`.
    void Reset(std::string programDir = kProgramDir);
    // A new runner whose program folder is `folder`, emptied first: a device played there finds none of
    // a device before it and leaves the user's settings alone.
    void ResetInScratch(const std::string& folder);
    // One line of the runner's language; what it printed, or why it was refused.
    struct Outcome {
        bool ok = true;
        std::string printed, error;
    };
    Outcome Run(const std::string& line);
    // Lets the page's time pass: the device's clock follows the page's, as a `wait` does.
    void PassTo(double pageMs);
    // The page's time at which the device next has something to do; none while it has nothing.
    std::optional<double> NextDuePageMs() const;
    // What changed since the last call, as JSON: the picture's dirty rectangle, the form when it
    // changed, the message boxes shown and dialogs asked, whether the program wants to close.
    std::string TakeChanges();
    // The whole form as JSON.
    std::string Form() const;
    // The picture's pixels in [x, x+w) × [y, y+h) (device pixels, clipped) as RGBA.
    const uint8_t* PictureRgba(int x, int y, int width, int height);
    // The runner itself, for what the page asks beyond its lines (an exercise's panel, its hand-in);
    // what it prints meanwhile is taken with TakePrinted.
    Runner& Script() { return *runner_; }
    std::string TakePrinted();
    // The runner's classroom seat, which a `classroom` line joins to its room through the page's link
    // (PageRoomLink); a new runner has a new seat. Its lines (`classroom: TEXT`) are taken with TakeSeatLog.
    RunnerSeat& RoomSeat() { return *seat_; }
    // The trainee's name the seat's hand-ins carry, for this runner and every one made after it.
    void SetTrainee(std::string name);
    std::string TakeSeatLog();

    // The session (PageSession.cpp). The trend from sample `fromSample` and event `fromEvent` on, at
    // most kTrendRowsACall samples, as JSON (see there).
    static constexpr uint64_t kTrendRowsACall = 20000;
    std::string TrendJson(uint64_t fromSample, uint64_t fromEvent) const;
    // The session's lines since its device was made, as a recording the desktop's player takes: the
    // header comment first, the settings the device started on as `ini` lines before its start line.
    std::string Recording(const std::string& date) const;
    // Runs `line` (`state FILE`) on a runner of its own, which replaces this one when the line went
    // through; the refusal otherwise, with the device and its settings file as they were.
    std::optional<std::string> Replace(const std::string& line);
    // A recording checked whole as the desktop's player checks it, as JSON: {error} or {setup, start,
    // steps: [[ms, line]], startMs, endMs}.
    static std::string PlayPlan(const std::string& path);
    // The page's time from `pageMs` on passes on the device, the time before it not: a recording
    // played meanwhile ran its own waits.
    void ClockFrom(double pageMs);

private:
    // A runner for the page's device, its host handed out.
    std::unique_ptr<Runner> NewRunner(PageHost*& host);
    // The new runner's session begins: the page's clock is taken at its next call.
    void Began();
    std::string SettingsPath() const;
    std::string SettingsText() const;

    int scale_;
    SpriteSet sprites_;
    std::ostringstream out_;
    PageHost* host_ = nullptr; // owned by the runner's world
    std::unique_ptr<Runner> runner_;
    std::ostringstream seatLog_;
    std::unique_ptr<RunnerSeat> seat_; // refers to runner_, so goes before it
    std::string trainee_;
    std::string programDir_ = kProgramDir;
    double pageMs_ = -1; // the page's time the device's last caught up with
    double carryMs_ = 0; // the part of a millisecond left over
    std::string rgba_;
    std::string sheetPixels_;
    int sheetWidth_ = 0, sheetHeight_ = 0;
    std::string settingsAtStart_; // the settings file as the runner found it
    std::string formSent_;        // the form as the page last heard of it
    uint64_t runnersMade_ = 0;
};

} // namespace vp7
