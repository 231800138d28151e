// SPDX-License-Identifier: GPL-3.0-or-later
// The room's saved states and rewinds at the window's seat: the device shown is saved as the program's
// own "save state" saves it, and the window's session goes back as its own rewind takes it back. Both
// are the instructor's: the room's hold on the device does not refuse them.
#include "ui/app/ClassroomControl.h"

#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/SessionRecorder.h"
#include "session/StateFile.h"
#include "session/script/RecordingLines.h"
#include "ui/app/InstructorControls.h"
#include "ui/device/DeviceWindow.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace vp7 {

// The exercise's device while one runs, with the exercise's recording so far; else the window's.
std::string ClassroomControl::SaveState() {
    DeviceWindow& shown = Shown();
    std::optional<std::string> recording;
    if (Exercise()) {
        if (SessionRecorder* recorder = shown.CurrentSession().Recorder()) {
            recorder->WriteUpToNow();
            recording = ReadWholeFile(recorder->Path(), kRecordingMaxBytes);
        }
    } else {
        recording = instructor_->SessionSoFar();
    }
    if (!recording) throw std::runtime_error("the session so far cannot be read");
    return vp7::SaveState(shown.Sim(), *recording);
}

// An exercise's device is judged on its recording from the start: it is not rewound.
void ClassroomControl::Rewind(int64_t ms) {
    CheckNoDialog();
    if (Exercise()) throw std::runtime_error("an exercise runs: its device is not rewound");
    const auto session = instructor_->SessionSoFar();
    if (!session) throw std::runtime_error("the session so far cannot be read");
    const int64_t moment = std::max<int64_t>(0, RecordingLengthMs(*session) - ms);
    if (!instructor_->RewindTo(moment)) throw std::runtime_error("the session could not be rewound");
    // The faults the room hid stay set until the instructor clears them.
    for (const std::string& option : std::set<std::string>(roomHidden_))
        SetHiddenFault(option, true);
}

} // namespace vp7
