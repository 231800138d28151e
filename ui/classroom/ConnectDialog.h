// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Klassenraum / Classroom → Verbinden… / Connect…": the broker's host and port, TLS, the room, the
// seat's name, the account and its password, and whether the password is kept (in a file only the user
// may read) or asked for at each connection. It accepts only what can be used: a port, names that can
// stand in the broker's topics.
#include "classroom/ClassroomSettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vp7 {

class ConnectDialog : public QDialog {
    Q_OBJECT
public:
    // The seat's connection, or the instructor's station's: without a seat, with the station's account.
    enum class For { Seat, Station };
    ConnectDialog(const ClassroomSettings& settings, const QString& password, bool german, QWidget* parent,
                  For who = For::Seat);
    ClassroomSettings Settings() const;
    QString Password() const;
    // Why the fields cannot be used; empty when they can.
    QString Problem() const;

    void accept() override;

private:
    bool german_;
    For for_;
    ClassroomSettings given_;
    QLineEdit* host_;
    QSpinBox* port_;
    QCheckBox* tls_;
    QLineEdit* caFile_;
    QLineEdit* room_;
    QLineEdit* seat_;
    QLineEdit* user_;
    QLineEdit* password_;
    QCheckBox* remember_;
    QLabel* problem_;
};

} // namespace vp7
