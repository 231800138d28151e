// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A classroom PC that is shut down or logged off ends the simulator with a signal; closing the window
// as its close button would keeps the settings of the session.
class QWidget;

namespace vp7 {

// From now on SIGTERM, SIGHUP and SIGINT close `window` (and so end the program) from the event loop.
void CloseOnTerminationSignals(QWidget* window);

} // namespace vp7
