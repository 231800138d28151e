// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/PlantSettings.h"

#include "formats/IniFile.h"
#include "platform/NumberFormat.h"

#include <arpa/inet.h>

#include <initializer_list>

namespace vp7 {
namespace {
constexpr const char* kSection = "Modbus";
constexpr int kMaxPort = 65535, kMaxUnit = 255;

// The key's whole number when it lies in low ... high.
std::optional<int> Number(const IniFile& ini, const char* key, int low, int high) {
    const auto value = ReadInt32(ini.ReadString(kSection, key, ""));
    if (!value || *value < low || *value > high) return std::nullopt;
    return *value;
}
} // namespace

void PlantSettings::Read(const IniFile& ini) {
    *this = PlantSettings();
    for (const char* key : {"Server", "Port", "Unit", "Interface", "ReadOnly"})
        if (!ini.ReadString(kSection, key, "").empty()) kept = true;
    serve = Number(ini, "Server", 0, 1).value_or(0) == 1;
    if (Number(ini, "ReadOnly", 0, 1).value_or(0) == 1) options.access = modbus::Access::ReadOnly;
    options.port = Number(ini, "Port", 1, kMaxPort).value_or(options.port);
    options.unitId = Number(ini, "Unit", 0, kMaxUnit).value_or(options.unitId);
    const std::string address = ini.ReadString(kSection, "Interface", "");
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) == 1) options.address = address;
}

void PlantSettings::Write(IniFile& ini) const {
    if (!kept) return; // a settings file of someone who never used the server stays as it was
    ini.WriteString(kSection, "Server", serve ? "1" : "0");
    ini.WriteString(kSection, "Port", std::to_string(options.port));
    ini.WriteString(kSection, "Unit", std::to_string(options.unitId));
    ini.WriteString(kSection, "Interface", options.address);
    ini.WriteString(kSection, "ReadOnly", options.access == modbus::Access::ReadOnly ? "1" : "0");
}

} // namespace vp7
