// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/language/RoomLines.h"

#include "platform/FloatChars.h"
#include "session/language/ScriptWords.h"

#include <array>
#include <charconv>

namespace vp7 {
namespace {

constexpr std::string_view kForms =
    "room takes freeze 1|0, speed FACTOR, fault OPTION 1|0 or message \"TEXT\"";

bool ReadSwitch(const ScriptWord& word) {
    if (word.quoted || (word.text != "0" && word.text != "1")) throw ScriptError(std::string(kForms));
    return word.text == "1";
}

// The shortest text that reads back as the same number: a replay's speed is the seat's to the bit.
std::string SpeedText(double speed) {
    std::array<char, 32> text{};
    const auto [end, error] = ToCharsShortest(text.data(), text.data() + text.size(), speed);
    return error == std::errc() ? std::string(text.data(), end) : std::string("1");
}

double ReadSpeed(const ScriptWord& word) {
    double speed = 0;
    const auto [end, error] = FromChars(word.text.data(), word.text.data() + word.text.size(), speed);
    if (word.quoted || error != std::errc() || end != word.text.data() + word.text.size())
        throw ScriptError("bad speed '" + word.text + "'");
    return speed;
}

// Quoted so that the text reads back byte for byte and the line holds no control character: a
// message's line breaks and tabs as \xHH.
std::string Quoted(std::string_view text) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out + '"';
}

} // namespace

std::string RoomLine(const RoomAction& action) {
    switch (action.kind) {
    case RoomAction::Kind::Freeze:
        return std::string("room freeze ") + (action.on ? "1" : "0");
    case RoomAction::Kind::Speed:
        return "room speed " + SpeedText(action.speed);
    case RoomAction::Kind::Fault:
        return "room fault " + action.words + (action.on ? " 1" : " 0");
    case RoomAction::Kind::Message:
        return "room message " + Quoted(action.words);
    }
    return {};
}

RoomAction ReadRoomLine(std::string_view line) {
    const auto words = SplitWords(line);
    if (!words || words->size() < 3 || (*words)[0].text != "room") throw ScriptError(std::string(kForms));
    const std::string& form = (*words)[1].text;
    const ScriptWord& first = (*words)[2];
    RoomAction action;
    if (form == "freeze" && words->size() == 3) {
        action.kind = RoomAction::Kind::Freeze;
        action.on = ReadSwitch(first);
    } else if (form == "speed" && words->size() == 3) {
        action.kind = RoomAction::Kind::Speed;
        action.speed = ReadSpeed(first);
    } else if (form == "fault" && words->size() == 4 && !first.quoted) {
        action.kind = RoomAction::Kind::Fault;
        action.words = first.text;
        action.on = ReadSwitch((*words)[3]);
    } else if (form == "message" && words->size() == 3 && first.quoted) {
        action.kind = RoomAction::Kind::Message;
        action.words = first.text;
    } else {
        throw ScriptError(std::string(kForms));
    }
    return action;
}

} // namespace vp7
