// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the runner's seat reaches its room: through the broker layer where the build has one (broker/),
// and not at all where it does not: a `classroom` line is then refused with the reason. Which of the
// two is linked in is the build's choice, as for the plant's server.
#include "classroom/RoomLink.h"

namespace vp7 {

RoomLinkMaker RoomLinks();

} // namespace vp7
