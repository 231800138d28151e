// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a seat meets its classroom, kept in the settings file's section [Classroom]: the broker's host and
// port, TLS, the room, the seat's name and the account. The password is not kept there: either in a
// file of its own that only the user may read, or asked for at each connection. A file without the
// section, or with a damaged key, gives the defaults; older programs leave the section alone.
#include "classroom/LessonFolders.h"
#include "classroom/RoomFinder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

class IniFile;

struct ClassroomSettings {
    static constexpr uint16_t kDefaultPort = 1883, kDefaultTlsPort = 8883;

    std::string host = "127.0.0.1";
    uint16_t port = kDefaultPort;
    bool tls = false;
    std::string caFile; // TLS: the authority that signed the broker's certificate; empty: the system's
    std::string room, seat, user;
    std::string trainee; // the name the seat's hand-ins carry, a line of text
    bool rememberPassword = false;
    bool joined = false;                    // connected when the program ended: joins again at the next start
    std::string stationUser = "instructor"; // the account the instructor's station connects with
    int keepLessonDays = kDefaultKeepLessonDays; // the station deletes a lesson's folder after as many days
    uint16_t finderPort = kRoomFinderPort;       // where a seat with only its code asks for its room

    // The certificate authority a TLS connection checks the broker against (the system's when none is
    // named); empty without TLS.
    std::string Authority() const;

    void Read(const IniFile& ini);
    void Write(IniFile& ini) const;
};

// The password kept beside the settings (`path`), written so that only the user may read it; false
// when it could not be written so (nothing is left behind then).
bool KeepPassword(const std::string& path, std::string_view password);
// The password kept at `path`; none when there is none, or when others than the user may read it.
std::optional<std::string> KeptPassword(const std::string& path);

} // namespace vp7
