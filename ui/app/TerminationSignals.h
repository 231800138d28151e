// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A classroom PC that is shut down or logged off ends the simulator with a signal; closing the window
// as its close button would keeps the settings of the session.
#include <functional>

class QWidget;

namespace vp7 {

// From now on SIGTERM, SIGHUP and SIGINT close `window` (and so end the program) from the event loop.
// A window that refuses to close (the start-up picture still showing) does not keep the system from
// ending the program: `keepSettings` runs, and the program ends all the same.
void CloseOnTerminationSignals(QWidget* window, std::function<void()> keepSettings = {});

} // namespace vp7
