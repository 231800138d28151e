// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a classroom did to a seat's device, as the seat's recording keeps it: one runner command, `room`,
// with the room's action after it. Both seats write these lines where the room acted, and the runner
// reads them back, so that a replay shows what the trainee saw:
//   room freeze 1|0            the instructor froze the device, or let it go on
//   room speed FACTOR          the device's time ran FACTOR times as fast from then on
//   room fault OPTION 1|0      an option set or cleared without the trainee seeing it
//   room message "TEXT"        the instructor's message
#include <string>
#include <string_view>

namespace vp7 {

struct RoomAction {
    enum class Kind { Freeze, Speed, Fault, Message };
    Kind kind = Kind::Freeze;
    bool on = false;   // frozen, or the option set
    double speed = 1;  // the factor of a speed
    std::string words; // the option of a fault, the text of a message
};

// Why a seat refuses what would undo the room's hold on its device (the room's exercise, its freeze, a
// fault it hid): the window says it in a box, the runner as a script line's error, in English.
inline constexpr const char* kRoomHoldsDeviceGerman =
    "Vom Ausbilder festgelegt: Solange der Platz im Klassenraum ist, wird das Gerät nicht ersetzt oder "
    "zurückgesetzt.";
inline constexpr const char* kRoomHoldsDeviceEnglish =
    "Set by the instructor: while the seat is in the classroom, the device is not replaced or reset.";

// The line a recording keeps of `action`.
std::string RoomLine(const RoomAction& action);
// The action of a `room` line; ScriptError for a line that holds none.
RoomAction ReadRoomLine(std::string_view line);

} // namespace vp7
