// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Klassenraum → Mit Code beitreten… / Classroom → Join with code…": one field that takes the code or
// the link from the class sheet, and the trainee's name, which goes with every hand-in of the lesson.
// It accepts only a code or link that can be used, and says in a word what is wrong with one that
// cannot; a code alone joins the room of the last join, or on a PC that never joined, the room the
// instructor's station answers for on the local network (RoomFinding.h).
#include "classroom/JoinTicket.h"

#include <QDialog>

#include <chrono>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;

namespace vp7 {

class JoinCodeDialog : public QDialog {
    Q_OBJECT
public:
    // A trainee's name is at most this long: it is printed in reports and lists.
    static constexpr int kLongestName = 64;

    // How long a code alone waits for the station's answer: some tries of a datagram, and the key.
    static constexpr std::chrono::milliseconds kFindingLimit{2500};

    // `finderPort` is where the room is asked for by a code alone; 0: not at all.
    JoinCodeDialog(std::optional<JoinTicket> known, const QString& trainee, bool german, QWidget* parent,
                   uint16_t finderPort = 0);
    const JoinTicket& Ticket() const { return ticket_; }
    QString Trainee() const;
    // Why the fields cannot be used; empty when they can.
    QString Problem();

    void accept() override;
    void reject() override;

private:
    // The room of a code alone, asked for on the network: why not found, or empty.
    QString FindTheRoom();

    bool german_;
    uint16_t finderPort_;
    bool finding_ = false;
    bool cancelled_ = false; // closed while finding
    std::optional<JoinTicket> known_;
    JoinTicket ticket_;
    QLineEdit* code_;
    QLineEdit* trainee_;
    QLabel* problem_;
};

} // namespace vp7
