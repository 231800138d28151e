// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's Modbus server as the user set it up, kept in the settings file's section [Modbus]:
// Server=1 while it serves, Port, Unit, Interface (an IPv4 address) and ReadOnly=1. A file without the
// section, or with a damaged key, leaves that key at its default: off, port 502 (1502 where the
// program may not have it), unit 1, the loopback, read-write. Older programs leave the section alone.
#include "plant/ModbusServer.h"

namespace vp7 {

class IniFile;

struct PlantSettings {
    // Whether there is anything to keep: the file had the section, or the user set the server up.
    bool kept = false;
    bool serve = false;
    ModbusServerOptions options{.address = "127.0.0.1", .port = ModbusServer::kStandardPort};

    void Read(const IniFile& ini);
    void Write(IniFile& ini) const;
};

} // namespace vp7
