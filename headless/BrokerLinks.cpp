// SPDX-License-Identifier: GPL-3.0-or-later
// Built with the broker layer: a seat joins its room over MQTT.
#include "broker/SeatLink.h"
#include "headless/RoomLinks.h"

namespace vp7 {

RoomLinkMaker RoomLinks() {
    return &SeatLink::Make;
}

} // namespace vp7
