// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/HiddenFaults.h"

#include "sim/display/Captions.h"

#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vp7 {

HiddenFaults::HiddenFaults(bool german, Send send, QWidget* parent)
    : QWidget(parent), german_(german), send_(std::move(send)), list_(new QListWidget),
      clear_(new QPushButton(german ? QStringLiteral("Alle löschen") : QStringLiteral("Clear all"))) {
    setObjectName(QStringLiteral("HiddenFaults"));
    list_->setObjectName(QStringLiteral("HiddenFaultList"));
    clear_->setObjectName(QStringLiteral("ClearHiddenFaults"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(
        new QLabel(german ? QStringLiteral("Verdeckte Fehler") : QStringLiteral("Hidden faults")));
    column->addWidget(list_);
    column->addWidget(clear_);
    connect(clear_, &QPushButton::clicked, this, &HiddenFaults::ClearAll);
    Show();
}

QString HiddenFaults::Caption(std::string_view option, bool german) {
    return QString::fromStdString(CaptionOf(option, german));
}

std::optional<SeatCommand> HiddenFaults::Ask(QWidget* over) const {
    QStringList captions;
    for (const std::string_view fault : kHideableFaults)
        captions << Caption(fault, german_);
    bool ok = false;
    const QString caption = QInputDialog::getItem(
        over, german_ ? QStringLiteral("Verdeckter Fehler") : QStringLiteral("Hidden fault"),
        german_ ? QStringLiteral("Fehler:") : QStringLiteral("Fault:"), captions, 0, false, &ok);
    if (!ok) return std::nullopt;
    const QString set = german_ ? QStringLiteral("setzen") : QStringLiteral("set");
    const QString on = QInputDialog::getItem(
        over, caption, german_ ? QStringLiteral("Setzen oder löschen:") : QStringLiteral("Set or clear:"),
        {set, german_ ? QStringLiteral("löschen") : QStringLiteral("clear")}, 0, false, &ok);
    if (!ok) return std::nullopt;
    const auto index = static_cast<std::size_t>(captions.indexOf(caption));
    return SeatCommand{SeatCommandKind::SetHiddenFault, std::string(kHideableFaults.at(index)), 1, on == set};
}

void HiddenFaults::Sent(const QStringList& seats, const SeatCommand& command) {
    if (command.kind != SeatCommandKind::SetHiddenFault) return;
    if (seats.isEmpty() && !command.on)
        std::erase_if(set_, [&](const auto& entry) { return entry.second == command.text; });
    for (const QString& seat : seats.isEmpty() ? QStringList{QString()} : seats) {
        if (command.on)
            set_.emplace(seat, command.text);
        else
            set_.erase({seat, command.text});
    }
    Show();
    emit Changed();
}

QStringList HiddenFaults::On(const QString& seat) const {
    std::set<std::string> options;
    for (const auto& [where, option] : set_)
        if (where.isEmpty() || where == seat) options.insert(option);
    QStringList captions;
    for (const std::string& option : options)
        captions << Caption(option, german_);
    return captions;
}

// The room's first, then seat by seat: a room's clearing reaches every seat.
void HiddenFaults::ClearAll() {
    const auto set = set_;
    for (const auto& [seat, option] : set)
        if (set_.contains({seat, option}))
            send_(seat.isEmpty() ? QStringList() : QStringList{seat},
                  {SeatCommandKind::SetHiddenFault, option, 1, false});
}

void HiddenFaults::Show() {
    list_->clear();
    for (const auto& [seat, option] : set_)
        list_->addItem((seat.isEmpty()
                            ? (german_ ? QStringLiteral("Alle Plätze") : QStringLiteral("All seats"))
                            : seat) +
                       QStringLiteral(" · ") + Caption(option, german_));
    clear_->setEnabled(!set_.empty());
}

} // namespace vp7
