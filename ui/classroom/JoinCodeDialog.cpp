// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/JoinCodeDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vp7 {

JoinCodeDialog::JoinCodeDialog(std::optional<JoinTicket> known, const QString& trainee, bool german,
                               QWidget* parent)
    : QDialog(parent), german_(german), known_(std::move(known)), code_(new QLineEdit),
      trainee_(new QLineEdit(trainee)), problem_(new QLabel) {
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
    const JoinReading read = ReadJoin(code_->text().toStdString(), known_);
    if (!read.ticket) return QString::fromUtf8(JoinProblemText(read.problem, german_));
    if (Trainee().isEmpty())
        return german_ ? QStringLiteral("Bitte Ihren Namen eingeben: er steht auf jeder Abgabe.")
                       : QStringLiteral("Please enter your name: it goes with every hand-in.");
    ticket_ = *read.ticket;
    return {};
}

void JoinCodeDialog::accept() {
    const QString problem = Problem();
    problem_->setText(problem);
    if (problem.isEmpty()) return QDialog::accept();
    // The word may take two lines: the dialog grows to show them whole rather than clip the second.
    layout()->activate();
    const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    if (needed > height()) resize(width(), needed);
}

} // namespace vp7
