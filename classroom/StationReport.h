// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor station's report of one hand-in, in the language the station runs in: who handed in
// (room, seat, the trainee's name), when, the time taken, and the station's own judgement from its
// replay, each check with the value it read and the answer given; or "not verified" and why. A page of
// its own; the trainee's report of their own hand-in (ExerciseReport.h) stays as it is.
#include "classroom/HandInVerifier.h"

#include <string>

namespace vp7 {

// `handedIn` is the moment the station took the hand-in, as the report shows it.
std::string StationReportHtml(const HandInMessage& handIn, const HandInVerdict& verdict,
                              const std::string& handedIn, bool german);

} // namespace vp7
