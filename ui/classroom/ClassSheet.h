// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class sheet the instructor prints for a room: per seat its name, its code in large type to read
// aloud, its join link as text and as a QR code, and one line on what a trainee does with them. As HTML
// (for a browser's print) and as an A4 PDF, in the station's language. The instructor's own account is
// in the room file and never on the sheet.
#include "classroom/RoomFile.h"

#include <QString>

#include <optional>
#include <string>

namespace vp7 {

class ClassSheet {
public:
    // Two columns of eight: a whole room of the usual size on one page, each QR code large enough to scan.
    static constexpr int kSeatsPerPage = 16;

    ClassSheet(RoomFile room, bool german);

    std::string Html() const;
    // Writes the PDF to `path`; why not, or nothing.
    std::optional<QString> WritePdf(const QString& path) const;
    int Pages() const;

private:
    QString Heading(int page) const;
    QString Instruction() const;
    const char* Text(const char* de, const char* en) const { return german_ ? de : en; }

    RoomFile room_;
    bool german_;
};

} // namespace vp7
