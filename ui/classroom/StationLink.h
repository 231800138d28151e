// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor's station's own connection to the room's broker: every seat's status, events and live
// view frames handed to the station on the window's thread, its commands published at QoS 1. The link
// reconnects by itself; the station shows whether it is connected.
#include "classroom/ClassroomSettings.h"
#include "classroom/RoomLink.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

namespace vp7 {

class InstructorStation;

// The links this program's seat and station reach their room through: the broker layer's, or none in
// a build without it.
RoomLinkMaker BrokerLinks();

class StationLink : public QObject {
    Q_OBJECT
public:
    // What arrived is taken this often; the grid follows within a frame or two of it.
    static constexpr int kPollMs = 50;

    StationLink(const ClassroomSettings& settings, const std::string& password);
    ~StationLink() override;
    // Starts connecting and feeding `station`; why it cannot even begin, or nothing.
    std::optional<std::string> Start(InstructorStation& station);
    void Publish(const QString& topic, const QByteArray& payload);

private:
    void Poll();

    std::unique_ptr<RoomLink> link_;
    InstructorStation* station_ = nullptr;
    QTimer poll_;
    bool connected_ = false;
};

} // namespace vp7
