// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/RoomMenu.h"

#include "platform/FileRead.h"
#include "ui/classroom/ClassSheet.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/RoomAuthority.h"
#include "ui/classroom/RoomFinding.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QUrl>

namespace vp7 {
namespace {

// The room's set-up serves its authority's certificate to the seats from this file beside the room file.
const QString kServedAuthority = QStringLiteral("site/room-ca.crt");

// The authority beside the room file when it is the room's, else none.
std::optional<QString> AuthorityBeside(const QString& roomFile, const RoomFile& room) {
    const QString path = QFileInfo(roomFile).dir().filePath(kServedAuthority);
    const auto bytes = ReadWholeFile(QFile::encodeName(path).toStdString(), kLargestAuthorityBytes);
    if (!bytes ||
        AuthorityFingerprint(QByteArray::fromStdString(*bytes)) != QString::fromStdString(room.fingerprint))
        return std::nullopt;
    return path;
}

} // namespace

RoomMenu::RoomMenu(InstructorStation& station, bool german)
    : QObject(&station), station_(station), german_(german) {
    QMenu* menu = station.menuBar()->addMenu(QString::fromUtf8(Text("&Raum", "&Room")));
    menu->setObjectName(QStringLiteral("RoomMenu"));
    QAction* open = menu->addAction(QString::fromUtf8(Text("Raum ö&ffnen…", "&Open room…")));
    open->setObjectName(QStringLiteral("openRoom"));
    connect(open, &QAction::triggered, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(&station_, QString::fromUtf8(Text("Raum öffnen", "Open room")),
                                         QString(), QStringLiteral("room.json (room.json);;*.json (*.json)"));
        if (!path.isEmpty()) emit OpenRequested(path);
    });
    print_ = menu->addAction(QString::fromUtf8(Text("&Klassenliste drucken…", "&Print class sheet…")));
    print_->setObjectName(QStringLiteral("printClassSheet"));
    print_->setEnabled(false);
    connect(print_, &QAction::triggered, this, [this] {
        const auto written = WriteSheet();
        if (written.index() == 1) {
            station_.Note(std::get<1>(written));
            QMessageBox::warning(&station_, print_->text().remove(QLatin1Char('&')), std::get<1>(written));
        } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(std::get<0>(written)))) {
            station_.Note(QStringLiteral("cannot open %1").arg(std::get<0>(written)));
        }
    });
}

RoomMenu::~RoomMenu() = default;

std::variant<OpenedRoom, QString> RoomMenu::Open(const QString& path, ClassroomSettings settings,
                                                 const QString& authorities, bool german) {
    const auto refused = [german, &path](const char* de, const char* en, const QString& detail) {
        return std::variant<OpenedRoom, QString>(std::in_place_index<1>,
                                                 QString::fromUtf8(german ? de : en).arg(path) + detail);
    };
    const auto bytes = ReadWholeFile(QFile::encodeName(path).toStdString(), kLargestRoomFile);
    if (!bytes)
        return refused("%1 ist keine lesbare Datei eines Raums.", "%1 is no readable room file.", QString());
    auto read = ReadRoomFile(*bytes);
    if (const auto* why = std::get_if<std::string>(&read))
        return refused(
            "%1 ist keine Datei eines Raums: ", "%1 is no room file: ", QString::fromStdString(*why));
    OpenedRoom opened{std::move(std::get<RoomFile>(read)), std::move(settings)};
    const RoomFile& room = opened.room;
    opened.settings.host = room.address;
    opened.settings.port = static_cast<uint16_t>(room.mqttPort);
    opened.settings.tls = room.mqttTls;
    opened.settings.room = room.room;
    opened.settings.stationUser = room.instructorUser;
    opened.settings.caFile.clear();
    if (room.mqttTls) {
        if (const auto beside = AuthorityBeside(path, room)) {
            opened.settings.caFile = QFile::encodeName(*beside).toStdString();
        } else {
            const auto fetched =
                FetchRoomAuthority(SeatTicket(room, room.seats.front()), authorities, german);
            if (fetched.index() == 1)
                return std::variant<OpenedRoom, QString>(std::in_place_index<1>, std::get<1>(fetched));
            opened.settings.caFile = QFile::encodeName(std::get<0>(fetched)).toStdString();
        }
    }
    return opened;
}

void RoomMenu::SetRoom(RoomFile room, uint16_t finderPort) {
    QStringList seats;
    for (const RoomSeat& seat : room.seats)
        seats << QString::fromStdString(seat.seat);
    answers_ = std::make_unique<RoomFinderAnswers>(room, finderPort);
    if (finderPort != 0 && !answers_->Listening())
        station_.Note("Port %1 ist belegt: Plätze treten mit dem Link bei, nicht mit dem Code allein.",
                      "Port %1 is taken: seats join with the link, not with the code alone.",
                      QString::number(finderPort));
    room_ = std::move(room);
    print_->setEnabled(true);
    station_.ExpectSeats(seats);
}

std::variant<QString, QString> RoomMenu::WriteSheet() const {
    const auto refused = [this](const QString& detail) {
        return std::variant<QString, QString>(
            std::in_place_index<1>, QString::fromUtf8(Text("Die Klassenliste kann nicht geschrieben werden: ",
                                                           "The class sheet cannot be written: ")) +
                                        detail);
    };
    const QString folder = station_.ClassFolder();
    if (!room_ || folder.isEmpty() || !QDir().mkpath(folder)) return refused(folder);
    const ClassSheet sheet(*room_, german_);
    const QString base = QDir(folder).filePath(QString::fromUtf8(Text("Klassenliste", "class-sheet")));
    const std::string html = sheet.Html();
    QSaveFile page(base + QStringLiteral(".html"));
    if (!page.open(QIODevice::WriteOnly) || page.write(html.data(), static_cast<qint64>(html.size())) < 0 ||
        !page.commit())
        return refused(page.fileName());
    const QString pdf = base + QStringLiteral(".pdf");
    if (const auto why = sheet.WritePdf(pdf)) return refused(pdf + QStringLiteral(": ") + *why);
    return std::variant<QString, QString>(std::in_place_index<0>, pdf);
}

} // namespace vp7
