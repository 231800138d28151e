// SPDX-License-Identifier: GPL-3.0-or-later
// The calls the page makes, one table: the page fills the artwork, starts a device, speaks the runner's
// words to it, lets time pass and reads back what changed. Texts cross as UTF-8 and stay valid until
// the next call.
#include "classroom/JoinTicket.h"
#include "classroom/RunnerSeat.h"
#include "model/SpriteSet.h"
#include "session/language/RoomLines.h"
#include "session/script/Runner.h"
#include "web/bridge/PageDevice.h"
#include "web/bridge/PageExercise.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

using vp7::PageDevice;

namespace {

std::unique_ptr<PageDevice> device;
std::string answer; // the text the last call returned
// New files readable by everyone and writable by their owner, as on a desktop.
constexpr mode_t kFileCreationMask = 022;

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

} // namespace

extern "C" {

// Every sprite of the device picture, in their order: name and logical size.
EMSCRIPTEN_KEEPALIVE const char* vp7_sprites_json() {
    nlohmann::json sprites = nlohmann::json::array();
    for (int i = 0; i < static_cast<int>(vp7::SpriteId::Count); ++i) {
        const vp7::SpriteInfo& info = vp7::SpriteInfoOf(static_cast<vp7::SpriteId>(i));
        sprites.push_back({{"name", info.name}, {"width", info.width}, {"height", info.height}});
    }
    return Answer(sprites.dump());
}

// Makes the page's device at `scale` (1, or 2 on a dense screen), its sprites still to be filled.
EMSCRIPTEN_KEEPALIVE void vp7_create(int scale) {
    // The module's file system begins with a umask that takes every permission away: a file the
    // library creates (a settings file in an exercise's scratch folder) could not be read back.
    umask(kFileCreationMask);
    device = std::make_unique<PageDevice>(scale == 2 ? 2 : 1);
}

// Room for the pixels of a sheet of the artwork, `width` × `height` device pixels, which the page fills
// with RGBA and then cuts sprites from with vp7_sprite_from_sheet; null for a size no sheet has.
EMSCRIPTEN_KEEPALIVE uint8_t* vp7_sheet_rgba(int width, int height) {
    return device ? device->SheetBuffer(width, height) : nullptr;
}

// Sprite `id` taken from the sheet's device pixels with its top left at (x, y); 0 for an unknown
// sprite or one that would reach past the sheet.
EMSCRIPTEN_KEEPALIVE int vp7_sprite_from_sheet(int id, int x, int y) {
    return device && device->TakeSprite(id, x, y) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void vp7_redraw_piston() {
    if (device) device->RedrawPiston();
}

EMSCRIPTEN_KEEPALIVE void vp7_repaint_picture() {
    if (device) device->RepaintPicture();
}

// A new runner: the lines before `start`, `exercise` or `state` come next.
EMSCRIPTEN_KEEPALIVE void vp7_reset() {
    if (device) device->Reset();
}

// One line of the runner's language: {"ok", "out", "error"}.
EMSCRIPTEN_KEEPALIVE const char* vp7_run(const char* line) {
    if (!device) return Answer(R"({"ok":false,"out":"","error":"no device"})");
    const PageDevice::Outcome outcome = device->Run(line);
    return Answer(nlohmann::json{{"ok", outcome.ok}, {"out", outcome.printed}, {"error", outcome.error}}.dump(
        -1, ' ', false, nlohmann::json::error_handler_t::replace));
}

EMSCRIPTEN_KEEPALIVE void vp7_pass_to(double pageMs) {
    if (device) device->PassTo(pageMs);
}

// The page's time of the device's next timer; -1 for none.
EMSCRIPTEN_KEEPALIVE double vp7_next_due() {
    const auto due = device ? device->NextDuePageMs() : std::nullopt;
    return due ? *due : -1;
}

EMSCRIPTEN_KEEPALIVE const char* vp7_changes() {
    return Answer(device ? device->TakeChanges() : "null");
}

EMSCRIPTEN_KEEPALIVE const char* vp7_form() {
    return Answer(device ? device->Form() : "null");
}

EMSCRIPTEN_KEEPALIVE const uint8_t* vp7_picture_rgba(int x, int y, int width, int height) {
    return device ? device->PictureRgba(x, y, width, height) : nullptr;
}

// A new runner, as vp7_reset, that finds the files a line names without a folder in `folder`: an
// exercise opened from there is recorded by its name alone, and its recording replays beside it.
EMSCRIPTEN_KEEPALIVE void vp7_reset_in(const char* folder) {
    if (!device) return;
    device->Reset();
    device->Script().SetScriptFolder(folder);
}

// The exercise file at `path` checked whole, the device untouched (PageExercise.h).
EMSCRIPTEN_KEEPALIVE const char* vp7_check_exercise(const char* path) {
    return Answer(vp7::CheckedExerciseJson(path));
}

// The running exercise as its panel shows it.
EMSCRIPTEN_KEEPALIVE const char* vp7_exercise() {
    return Answer(device ? vp7::RunningExerciseJson(device->Script()) : R"({"open":false})");
}

// Hands the exercise in: the result, the report in the language asked and the session's recording.
// With `toRoom`, the result goes to the room through the seat, as the `handin` line sends it.
EMSCRIPTEN_KEEPALIVE const char* vp7_hand_in(const char* trainee, const char* date, const char* exercisePath,
                                             const char* recordingFile, int german, int toRoom) {
    if (!device) return Answer(R"({"ok":false,"error":"no device"})");
    if (toRoom && device->RoomSeat().RoomExerciseHandedIn())
        return Answer(R"({"ok":false,"error":"the exercise was handed in already"})");
    const std::string json =
        vp7::HandInJson(device->Script(), {trainee, date, exercisePath, recordingFile, german != 0,
                                           toRoom ? &device->RoomSeat() : nullptr});
    device->TakePrinted(); // the lines `handin` prints, which the answer holds
    return Answer(json);
}

// The session (PageSession.cpp): the trend since sample and event numbers, the session as a
// recording, a state loaded only when it loads, a recording checked for playing, the page's clock.
EMSCRIPTEN_KEEPALIVE const char* vp7_trend_json(double fromSample, double fromEvent) {
    if (!device) return Answer("null");
    return Answer(device->TrendJson(static_cast<uint64_t>(fromSample), static_cast<uint64_t>(fromEvent)));
}

EMSCRIPTEN_KEEPALIVE const char* vp7_recording(const char* date) {
    return Answer(device ? device->Recording(date) : "");
}

// `line` on a runner of its own, which takes the device's place when it went through: {"ok", "error"}.
EMSCRIPTEN_KEEPALIVE const char* vp7_replace(const char* line) {
    const auto refused = device ? device->Replace(line) : std::optional<std::string>("no device");
    return Answer(nlohmann::json{{"ok", !refused}, {"error", refused.value_or("")}}.dump(
        -1, ' ', false, nlohmann::json::error_handler_t::replace));
}

EMSCRIPTEN_KEEPALIVE const char* vp7_play_plan(const char* path) {
    return Answer(PageDevice::PlayPlan(path));
}

EMSCRIPTEN_KEEPALIVE void vp7_clock_from(double pageMs) {
    if (device) device->ClockFrom(pageMs);
}

// A new runner whose program folder is `folder`, emptied first: a recording plays there on its own
// settings, the user's left as they were.
EMSCRIPTEN_KEEPALIVE void vp7_reset_in_scratch(const char* folder) {
    if (device) device->ResetInScratch(folder);
}

// The classroom (the link's own calls are in PageRoomLink.cpp). The class sheet's link or code read as
// the library reads it: {ok, room, seat, password, error} with the trainee's word for a problem.
EMSCRIPTEN_KEEPALIVE const char* vp7_read_join(const char* text, int german) {
    const vp7::JoinReading reading = vp7::ReadJoin(text);
    if (!reading.ticket)
        return Answer(
            nlohmann::json{{"ok", false}, {"error", vp7::JoinProblemText(reading.problem, german != 0)}}
                .dump());
    const vp7::JoinTicket& ticket = *reading.ticket;
    return Answer(nlohmann::json{
        {"ok", true}, {"room", ticket.room}, {"seat", ticket.seat}, {"password", ticket.password}}
                      .dump());
}

// The trainee's name asked when joining, carried by every hand-in of the visit.
EMSCRIPTEN_KEEPALIVE void vp7_room_trainee(const char* name) {
    if (device) device->SetTrainee(name);
}

// Why a seat refuses what would replace or reset its device, in the language asked.
EMSCRIPTEN_KEEPALIVE const char* vp7_room_hold_text(int german) {
    return german ? vp7::kRoomHoldsDeviceGerman : vp7::kRoomHoldsDeviceEnglish;
}

// Whether the instructor watches the seat's live view, connected.
EMSCRIPTEN_KEEPALIVE int vp7_room_watched() {
    return device && device->RoomSeat().Watched() ? 1 : 0;
}

// The device's picture for the live view: `size` bytes of a JPEG image.
EMSCRIPTEN_KEEPALIVE void vp7_room_picture(const char* data, int size) {
    if (device && size > 0) device->RoomSeat().SendPicture(std::string(data, static_cast<std::size_t>(size)));
}

// The seat leaves its room: its last status offline.
EMSCRIPTEN_KEEPALIVE void vp7_room_leave() {
    if (device) device->RoomSeat().Leave();
}

// The room's exercise as the seat knows it: {"device": the device it runs on, 0 while the device is
// none of the room's, "handedIn"}. A new device number is a new exercise from the room.
EMSCRIPTEN_KEEPALIVE const char* vp7_room_exercise() {
    if (!device) return Answer(R"({"device":0,"handedIn":false})");
    const vp7::RunnerSeat& seat = device->RoomSeat();
    return Answer(
        nlohmann::json{{"device", seat.RoomExerciseDevice()}, {"handedIn", seat.RoomExerciseHandedIn()}}
            .dump());
}

// The seat's lines since the last call (`classroom: TEXT`, a line each).
EMSCRIPTEN_KEEPALIVE const char* vp7_room_log() {
    return Answer(device ? device->TakeSeatLog() : "");
}

} // extern "C"
