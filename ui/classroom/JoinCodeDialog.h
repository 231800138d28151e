// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Klassenraum → Mit Code beitreten… / Classroom → Join with code…": one field that takes the code or
// the link from the class sheet, and the trainee's name, which goes with every hand-in of the lesson.
// It accepts only a code or link that can be used, and says in a word what is wrong with one that
// cannot; a code alone joins the room of the last join.
#include "classroom/JoinTicket.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

namespace vp7 {

class JoinCodeDialog : public QDialog {
    Q_OBJECT
public:
    // A trainee's name is at most this long: it is printed in reports and lists.
    static constexpr int kLongestName = 64;

    JoinCodeDialog(std::optional<JoinTicket> known, const QString& trainee, bool german, QWidget* parent);
    const JoinTicket& Ticket() const { return ticket_; }
    QString Trainee() const;
    // Why the fields cannot be used; empty when they can.
    QString Problem();

    void accept() override;

private:
    bool german_;
    std::optional<JoinTicket> known_;
    JoinTicket ticket_;
    QLineEdit* code_;
    QLineEdit* trainee_;
    QLabel* problem_;
};

} // namespace vp7
