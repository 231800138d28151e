// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/ClassroomSettings.h"

#include "classroom/HandIn.h"
#include "classroom/RoomNames.h"

#include "formats/IniFile.h"
#include "platform/FileRead.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vp7 {
namespace {
constexpr const char* kSection = "Classroom";
constexpr std::size_t kLongestPassword = 1024;
constexpr std::size_t kLongestHost = 253; // a DNS name's limit
// The system's certificate authorities, for a broker whose certificate a public authority signed.
constexpr const char* kSystemAuthorities = "/etc/ssl/certs/ca-certificates.crt";
} // namespace

std::string ClassroomSettings::Authority() const {
    if (!tls) return {};
    return caFile.empty() ? kSystemAuthorities : caFile;
}

void ClassroomSettings::Read(const IniFile& ini) {
    *this = ClassroomSettings();
    if (std::string h = ini.ReadString(kSection, "Host", host); !h.empty() && h.size() <= kLongestHost)
        host = h;
    tls = ini.ReadString(kSection, "Tls", "0") == "1";
    port = tls ? kDefaultTlsPort : kDefaultPort;
    if (const auto p = ReadInt32(ini.ReadString(kSection, "Port", "")); p && *p > 0 && *p <= 65535)
        port = static_cast<uint16_t>(*p);
    caFile = ini.ReadString(kSection, "CaFile", "");
    for (auto [key, field] : {std::pair{"Room", &room}, std::pair{"Seat", &seat}, std::pair{"User", &user},
                              std::pair{"StationUser", &stationUser}})
        if (std::string value = ini.ReadString(kSection, key, ""); !RoomNameProblem(key, value))
            *field = value;
    // A name is a line a hand-in can carry: one too long or broken over lines is none.
    if (std::string name = ini.ReadString(kSection, "Trainee", "");
        name.size() <= kHandInTextMaxBytes &&
        std::none_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        trainee = name;
    rememberPassword = ini.ReadString(kSection, "RememberPassword", "0") == "1";
    joined = ini.ReadString(kSection, "Joined", "0") == "1";
    if (const auto days = ReadInt32(ini.ReadString(kSection, "KeepLessonDays", ""));
        days && *days > 0 && *days <= kLongestKeepLessonDays)
        keepLessonDays = *days;
    if (const auto p = ReadInt32(ini.ReadString(kSection, "RoomFinderPort", "")); p && *p >= 0 && *p <= 65535)
        finderPort = static_cast<uint16_t>(*p);
}

void ClassroomSettings::Write(IniFile& ini) const {
    ini.WriteString(kSection, "Host", host);
    ini.WriteString(kSection, "Port", std::to_string(port));
    ini.WriteString(kSection, "Tls", tls ? "1" : "0");
    ini.WriteString(kSection, "CaFile", caFile);
    ini.WriteString(kSection, "Room", room);
    ini.WriteString(kSection, "Seat", seat);
    ini.WriteString(kSection, "User", user);
    ini.WriteString(kSection, "Trainee", trainee);
    ini.WriteString(kSection, "RememberPassword", rememberPassword ? "1" : "0");
    ini.WriteString(kSection, "Joined", joined ? "1" : "0");
    ini.WriteString(kSection, "StationUser", stationUser);
    ini.WriteString(kSection, "KeepLessonDays", std::to_string(keepLessonDays));
    // Only where it was changed: the settings of a PC that never changed it stay as they were.
    if (finderPort != kRoomFinderPort)
        ini.WriteString(kSection, "RoomFinderPort", std::to_string(finderPort));
}

bool KeepPassword(const std::string& path, std::string_view password) {
    const std::string temporary = path + ".new";
    // Made for the user alone before a byte is in it.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return false;
    bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
                   ::write(fd, password.data(), password.size()) == static_cast<ssize_t>(password.size()) &&
                   ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

std::optional<std::string> KeptPassword(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0 ||
        info.st_uid != ::getuid())
        return std::nullopt;
    return ReadWholeFile(path, kLongestPassword);
}

} // namespace vp7
