// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's "Raum / Room" menu: a room file opened, after which the station is connected to that
// room's broker as its instructor and shows every seat of the room from the start, and the class sheet
// of the open room written into the lesson's folder and opened.
#include "classroom/ClassroomSettings.h"
#include "classroom/RoomFile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

class QAction;

namespace vp7 {

class InstructorStation;
class RoomFinderAnswers;

// A room file read, with the station's connection to its room.
struct OpenedRoom {
    RoomFile room;
    ClassroomSettings settings;
};

class RoomMenu : public QObject {
    Q_OBJECT
public:
    RoomMenu(InstructorStation& station, bool german);
    ~RoomMenu() override;

    // Reads the room file at `path`; where its broker speaks TLS, the room's authority is the one beside
    // the room file or else fetched from the room's page, taken only when its fingerprint is the file's
    // (a copy kept in `authorities`). `settings` gives what the room does not say. Why not, in the
    // language asked for.
    static std::variant<OpenedRoom, QString> Open(const QString& path, ClassroomSettings settings,
                                                  const QString& authorities, bool german);

    // The room the station is connected to: its seats shown, its sheet printable, and a seat with only
    // its code answered on `finderPort` where it asks for its room.
    void SetRoom(RoomFile room, uint16_t finderPort);
    const std::optional<RoomFile>& Room() const { return room_; }
    // The sheet as HTML and PDF in the lesson's folder: the PDF's path, or why not.
    std::variant<QString, QString> WriteSheet() const;

signals:
    // A room file chosen to open; the station is made anew for it.
    void OpenRequested(const QString& path);

private:
    const char* Text(const char* de, const char* en) const { return german_ ? de : en; }

    InstructorStation& station_;
    bool german_;
    std::optional<RoomFile> room_;
    std::unique_ptr<RoomFinderAnswers> answers_;
    QAction* print_;
};

} // namespace vp7
