// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/StationLink.h"

#include "classroom/RoomNames.h"
#include "ui/classroom/InstructorStation.h"
#ifdef VP7_WITH_BROKER
#include "broker/SeatLink.h"
#endif

namespace vp7 {

RoomLinkMaker BrokerLinks() {
#ifdef VP7_WITH_BROKER
    return &SeatLink::Make;
#else
    return {};
#endif
}

StationLink::StationLink(const ClassroomSettings& settings, const std::string& password) {
    LinkSettings link;
    link.host = settings.host;
    link.port = settings.port;
    link.room = settings.room;
    link.seat = "station"; // only the client's name: the station publishes nothing of its own
    link.user = settings.stationUser;
    link.password = password;
    link.subscriptions = StationTopics(settings.room);
    link.caFile = settings.Authority();
    if (const RoomLinkMaker make = BrokerLinks()) link_ = make(std::move(link));
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

StationLink::~StationLink() = default;

std::optional<std::string> StationLink::Start(InstructorStation& station) {
    station_ = &station;
    if (!link_) return std::string(kNoRoomLink);
    if (auto problem = link_->Start()) return problem;
    poll_.start();
    return std::nullopt;
}

void StationLink::Publish(const QString& topic, const QByteArray& payload) {
    if (!link_->Publish(topic.toStdString(), payload.toStdString(), 1, false))
        station_->Note("Nicht gesendet: %1", "not sent: %1", topic);
}

void StationLink::Poll() {
    for (const RoomLink::Incoming& incoming : link_->Take()) {
        switch (incoming.kind) {
        case RoomLink::Incoming::Kind::Connected:
            break;
        case RoomLink::Incoming::Kind::Note:
            station_->Note(QString::fromStdString(incoming.payload));
            break;
        case RoomLink::Incoming::Kind::Message:
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
