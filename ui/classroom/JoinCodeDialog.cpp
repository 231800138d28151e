// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/JoinCodeDialog.h"

#include "ui/classroom/RoomFinding.h"

#include <QApplication>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vp7 {

JoinCodeDialog::JoinCodeDialog(std::optional<JoinTicket> known, const QString& trainee, bool german,
                               QWidget* parent, uint16_t finderPort)
    : QDialog(parent), german_(german), finderPort_(finderPort), known_(std::move(known)),
      code_(new QLineEdit), trainee_(new QLineEdit(trainee)), problem_(new QLabel) {
    setObjectName(QStringLiteral("JoinCodeDialog"));
    setWindowTitle(german ? QStringLiteral("Mit Code beitreten") : QStringLiteral("Join with code"));
    code_->setObjectName(QStringLiteral("code"));
    code_->setMaxLength(static_cast<int>(kLongestJoinText));
    code_->setPlaceholderText(german ? QStringLiteral("07-K7QF-M2XA oder der Link vom Klassenblatt")
                                     : QStringLiteral("07-K7QF-M2XA or the link from the class sheet"));
    code_->setMinimumWidth(code_->fontMetrics().horizontalAdvance(code_->placeholderText()) * 5 / 4);
    trainee_->setObjectName(QStringLiteral("trainee"));
    trainee_->setMaxLength(kLongestName);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setStyleSheet(QStringLiteral("color: #c00000;"));
    problem_->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(german ? QStringLiteral("&Code oder Link:") : QStringLiteral("&Code or link:"), code_);
    form->addRow(german ? QStringLiteral("Ihr &Name:") : QStringLiteral("Your &name:"), trainee_);
    form->addRow(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)
        ->setText(german ? QStringLiteral("Beitreten") : QStringLiteral("Join"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString JoinCodeDialog::Trainee() const {
    return trainee_->text().simplified();
}

QString JoinCodeDialog::Problem() {
    const std::string text = code_->text().toStdString();
    JoinReading read = ReadJoin(text, known_);
    if (read.problem == JoinProblem::RoomUnknown && finderPort_ != 0) read.ticket = ReadCodeAlone(text);
    if (!read.ticket) return QString::fromUtf8(JoinProblemText(read.problem, german_));
    if (Trainee().isEmpty())
        return german_ ? QStringLiteral("Bitte Ihren Namen eingeben: er steht auf jeder Abgabe.")
                       : QStringLiteral("Please enter your name: it goes with every hand-in.");
    ticket_ = *read.ticket;
    return {};
}

QString JoinCodeDialog::FindTheRoom() {
    // A step under way, not a fault: in the window's own colour while it lasts.
    const QString faultStyle = problem_->styleSheet();
    problem_->setStyleSheet(QString());
    problem_->setText(german_ ? QStringLiteral("Der Raum wird gesucht …")
                              : QStringLiteral("Looking for the room …"));
    // While it searches, the fields stay as typed and the dialog says it is busy.
    const auto searching = [this](bool on) {
        finding_ = on;
        code_->setEnabled(!on);
        trainee_->setEnabled(!on);
    };
    searching(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto found = FindRoom(ticket_, finderPort_, kFindingLimit);
    QApplication::restoreOverrideCursor();
    problem_->setStyleSheet(faultStyle);
    searching(false);
    if (found.answeredOtherCode)
        return german_ ? QStringLiteral("Der Raum kennt diesen Code nicht: bitte den Code prüfen oder den "
                                        "ganzen Link vom Klassenblatt eingeben.")
                       : QStringLiteral("The room does not know this code: please check the code, or enter "
                                        "the whole link from the class sheet.");
    if (!found.ticket)
        return german_ ? QStringLiteral("Kein Raum hat auf diesen Code geantwortet: ist die Ausbilderstation "
                                        "offen? Sonst bitte den ganzen Link vom Klassenblatt eingeben.")
                       : QStringLiteral("No room answered to this code: is the instructor's station open? "
                                        "Otherwise please enter the whole link from the class sheet.");
    ticket_ = std::move(*found.ticket);
    return {};
}

void JoinCodeDialog::accept() {
    if (finding_) return; // pressed again while the room is searched for
    QString problem = Problem();
    if (problem.isEmpty() && ticket_.room.empty()) {
        cancelled_ = false;
        problem = FindTheRoom();
        if (cancelled_) return; // closed while the room was searched for: nothing is joined
    }
    problem_->setText(problem);
    if (problem.isEmpty()) return QDialog::accept();
    // The word may take two lines: the dialog grows to show them whole rather than clip the second.
    layout()->activate();
    const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    if (needed > height()) resize(width(), needed);
}

void JoinCodeDialog::reject() {
    if (finding_) cancelled_ = true;
    QDialog::reject();
}

} // namespace vp7
