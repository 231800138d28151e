// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/SeatStatus.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

// Longer than any title or display line the device has.
constexpr std::size_t kTextMaxBytes = 256;

using Json = nlohmann::json;

} // namespace

std::string WriteSeatStatus(const SeatStatus& s) {
    Json j = {{"seat", s.seat}, {"room", s.room}, {"online", s.online}};
    if (s.online) {
        j["variant"] = s.variant;
        j["mode"] = s.mode;
        j["lcd"] = {{"upper", s.lcdUpper}, {"lower", s.lcdLower}};
        j["position"] = s.position;
        j["setpoint"] = s.setpoint;
        j["faults"] = s.faults;
        j["alarm1"] = s.alarm1;
        j["alarm2"] = s.alarm2;
        j["frozen"] = s.frozen;
        j["speed"] = s.speed;
        j["exercise"] = s.exercise;
        j["checks"] = s.checks;
        j["checksHolding"] = s.checksHolding;
        if (s.timeLeftMs) j["timeLeftMs"] = *s.timeLeftMs;
    }
    // A title from an exercise file may hold bytes that are no UTF-8: they become U+FFFD, not a throw.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<SeatStatus, std::string> ReadSeatStatus(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kStatusMaxBytes, why);
    if (!j) return "status " + why;
    SeatStatus s;
    const auto seat = StringMember(*j, "seat", kRoomNameMaxBytes);
    const auto room = StringMember(*j, "room", kRoomNameMaxBytes);
    const auto online = BoolMember(*j, "online");
    if (!seat || !room || !online) return std::string("status without seat, room or online");
    if (const auto problem = RoomNameProblem("seat", *seat)) return "status: " + *problem;
    if (const auto problem = RoomNameProblem("room", *room)) return "status: " + *problem;
    s.seat = *seat;
    s.room = *room;
    s.online = *online;
    if (!s.online) return s;

    const auto text = [&](const Json& object, const char* name, std::string& into) {
        const auto value = StringMember(object, name, kTextMaxBytes);
        if (value) into = *value;
        return value.has_value();
    };
    const auto number = [&](const char* name, double& into, double low, double high) {
        const auto value = NumberMember(*j, name);
        if (!value || !std::isfinite(*value) || *value < low || *value > high) return false;
        into = *value;
        return true;
    };
    const auto flag = [&](const char* name, bool& into) {
        const auto value = BoolMember(*j, name);
        if (value) into = *value;
        return value.has_value();
    };
    const auto lcd = j->find("lcd");
    if (lcd == j->end() || !lcd->is_object() || !text(*lcd, "upper", s.lcdUpper) ||
        !text(*lcd, "lower", s.lcdLower))
        return std::string("status without its display lines");
    double checks = 0, holding = 0;
    if (!text(*j, "variant", s.variant) || !text(*j, "mode", s.mode) || !text(*j, "exercise", s.exercise) ||
        !number("position", s.position, -1e6, 1e6) || !number("setpoint", s.setpoint, -1e6, 1e6) ||
        !number("speed", s.speed, 0, 1000) || !number("checks", checks, 0, 10000) ||
        !number("checksHolding", holding, 0, checks) || !flag("alarm1", s.alarm1) ||
        !flag("alarm2", s.alarm2) || !flag("frozen", s.frozen))
        return std::string("status with a value missing or out of range");
    s.checks = static_cast<int>(checks);
    s.checksHolding = static_cast<int>(holding);
    const auto faults = j->find("faults");
    if (faults == j->end() || !faults->is_array() || faults->size() > 8)
        return std::string("status without its faults");
    for (const Json& fault : *faults) {
        if (!fault.is_number_integer() || fault.get<int64_t>() < 1 || fault.get<int64_t>() > 8)
            return std::string("status with a fault that is no number from 1 to 8");
        s.faults.push_back(static_cast<int>(fault.get<int64_t>()));
    }
    std::sort(s.faults.begin(), s.faults.end());
    if (j->contains("timeLeftMs")) {
        double left = 0;
        if (!number("timeLeftMs", left, 0, 1e12)) return std::string("status with a bad time left");
        s.timeLeftMs = static_cast<int64_t>(left);
    }
    return s;
}

} // namespace vp7
