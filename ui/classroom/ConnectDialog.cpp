// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/ConnectDialog.h"

#include "classroom/RoomNames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace vp7 {

ConnectDialog::ConnectDialog(const ClassroomSettings& settings, const QString& password, bool german,
                             QWidget* parent, For who)
    : QDialog(parent), german_(german), for_(who), given_(settings),
      host_(new QLineEdit(QString::fromStdString(settings.host))), port_(new QSpinBox),
      tls_(new QCheckBox(QStringLiteral("TLS"))),
      caFile_(new QLineEdit(QString::fromStdString(settings.caFile))),
      room_(new QLineEdit(QString::fromStdString(settings.room))),
      seat_(new QLineEdit(QString::fromStdString(settings.seat))),
      user_(
          new QLineEdit(QString::fromStdString(who == For::Station ? settings.stationUser : settings.user))),
      password_(new QLineEdit(password)),
      remember_(new QCheckBox(german ? QStringLiteral("Passwort merken (nur für mich lesbar)")
                                     : QStringLiteral("Remember the password (readable by me only)"))),
      problem_(new QLabel) {
    setObjectName(QStringLiteral("ConnectDialog"));
    if (who == For::Station)
        setWindowTitle(german ? QStringLiteral("Ausbilderstation verbinden")
                              : QStringLiteral("Connect the instructor station"));
    else
        setWindowTitle(german ? QStringLiteral("Mit dem Klassenraum verbinden")
                              : QStringLiteral("Connect to the classroom"));
    port_->setRange(1, 65535);
    port_->setValue(settings.port);
    tls_->setChecked(settings.tls);
    remember_->setChecked(settings.rememberPassword);
    password_->setEchoMode(QLineEdit::Password);
    const std::pair<QWidget*, const char*> named[] = {
        {host_, "host"}, {port_, "port"}, {tls_, "tls"},           {caFile_, "caFile"},    {room_, "room"},
        {seat_, "seat"}, {user_, "user"}, {password_, "password"}, {remember_, "remember"}};
    for (const auto& [widget, name] : named)
        widget->setObjectName(QString::fromLatin1(name));
    problem_->setStyleSheet(QStringLiteral("color: #c00000;"));
    auto* form = new QFormLayout(this);
    form->addRow(german ? QStringLiteral("Broker:") : QStringLiteral("Broker:"), host_);
    form->addRow(QStringLiteral("Port:"), port_);
    form->addRow(QString(), tls_);
    form->addRow(german ? QStringLiteral("CA-Zertifikat:") : QStringLiteral("CA certificate:"), caFile_);
    form->addRow(german ? QStringLiteral("Raum:") : QStringLiteral("Room:"), room_);
    if (who == For::Seat)
        form->addRow(german ? QStringLiteral("Platz:") : QStringLiteral("Seat:"), seat_);
    else { // the station has no seat
        seat_->setParent(this);
        seat_->hide();
    }
    form->addRow(german ? QStringLiteral("Benutzer:") : QStringLiteral("User:"), user_);
    form->addRow(german ? QStringLiteral("Passwort:") : QStringLiteral("Password:"), password_);
    form->addRow(QString(), remember_);
    form->addRow(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ConnectDialog::reject);
    form->addRow(buttons);
    // The TLS port is the usual one while the port was the plain one's, and back.
    connect(tls_, &QCheckBox::toggled, this, [this](bool on) {
        if (on && port_->value() == ClassroomSettings::kDefaultPort)
            port_->setValue(ClassroomSettings::kDefaultTlsPort);
        if (!on && port_->value() == ClassroomSettings::kDefaultTlsPort)
            port_->setValue(ClassroomSettings::kDefaultPort);
    });
}

ClassroomSettings ConnectDialog::Settings() const {
    ClassroomSettings s = given_;
    s.host = host_->text().trimmed().toStdString();
    s.port = static_cast<uint16_t>(port_->value());
    s.tls = tls_->isChecked();
    s.caFile = caFile_->text().trimmed().toStdString();
    s.room = room_->text().trimmed().toStdString();
    s.seat = seat_->text().trimmed().toStdString();
    (for_ == For::Station ? s.stationUser : s.user) = user_->text().trimmed().toStdString();
    s.rememberPassword = remember_->isChecked();
    return s;
}

QString ConnectDialog::Password() const {
    return password_->text();
}

QString ConnectDialog::Problem() const {
    const ClassroomSettings s = Settings();
    if (s.host.empty())
        return german_ ? QStringLiteral("Der Broker fehlt.") : QStringLiteral("The broker is missing.");
    std::optional<std::string> problem = RoomNameProblem("room", s.room);
    if (!problem && for_ == For::Seat) problem = RoomNameProblem("seat", s.seat);
    const std::string& user = for_ == For::Station ? s.stationUser : s.user;
    if (!problem && !user.empty()) problem = RoomNameProblem("user", user);
    return problem ? QString::fromStdString(*problem) : QString();
}

void ConnectDialog::accept() {
    const QString problem = Problem();
    problem_->setText(problem);
    if (problem.isEmpty()) QDialog::accept();
}

} // namespace vp7
