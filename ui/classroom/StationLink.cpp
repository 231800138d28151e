// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/StationLink.h"

#include "classroom/SeatLink.h"
#include "ui/classroom/InstructorStation.h"

namespace vp7 {

StationLink::StationLink(const ClassroomSettings& settings, const std::string& password) {
    LinkSettings link;
    link.host = settings.host;
    link.port = settings.port;
    link.room = settings.room;
    link.seat = "station"; // only the client's name: the station publishes nothing of its own
    link.user = settings.stationUser;
    link.password = password;
    const std::string seats = "vp7/" + settings.room + "/seat/+/";
    link.subscriptions = {seats + "status", seats + "event", seats + "picture"};
    link.caFile = settings.Authority();
    link_ = std::make_unique<SeatLink>(std::move(link));
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

StationLink::~StationLink() = default;

std::optional<std::string> StationLink::Start(InstructorStation& station) {
    station_ = &station;
    if (auto problem = link_->Start()) return problem;
    poll_.start();
    return std::nullopt;
}

void StationLink::Publish(const QString& topic, const QByteArray& payload) {
    if (!link_->Publish(topic.toStdString(), payload.toStdString(), 1, false))
        station_->Note(QStringLiteral("not sent: %1").arg(topic));
}

void StationLink::Poll() {
    for (const SeatLink::Incoming& incoming : link_->Take()) {
        switch (incoming.kind) {
        case SeatLink::Incoming::Kind::Connected:
            break;
        case SeatLink::Incoming::Kind::Note:
            station_->Note(QString::fromStdString(incoming.payload));
            break;
        case SeatLink::Incoming::Kind::Message:
            station_->Received(QString::fromStdString(incoming.topic),
                               QByteArray::fromStdString(incoming.payload));
            break;
        }
    }
    if (const bool now = link_->Connected(); now != connected_) {
        connected_ = now;
        station_->SetConnected(now);
    }
}

} // namespace vp7
