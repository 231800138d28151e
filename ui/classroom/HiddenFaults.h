// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hidden faults the station set and has not cleared, seat by seat and on the whole room: listed
// with the seat and the fault's caption in the station's language ("Hidden faults"), and cleared all at
// once. Faults go by the captions the device's own option controls show, never their control names.
#include "classroom/SeatCommand.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

class QListWidget;
class QPushButton;

namespace vp7 {

class HiddenFaults : public QWidget {
    Q_OBJECT
public:
    // Sends a command to `seats`, or to the whole room when there are none.
    using Send = std::function<void(const QStringList& seats, SeatCommand command)>;

    HiddenFaults(bool german, Send send, QWidget* parent = nullptr);

    // The fault's caption as the device's option control shows it.
    static QString Caption(std::string_view option, bool german);
    // Asks which fault to set or clear; none when the instructor cancels.
    std::optional<SeatCommand> Ask(QWidget* over) const;

    // A fault command the station sent to `seats` (none: the room). Clearing on the room clears the
    // fault on every seat too.
    void Sent(const QStringList& seats, const SeatCommand& command);
    // The captions of the faults set on `seat`, by the room's command or its own.
    QStringList On(const QString& seat) const;
    // Clears every fault the station set, where it set it.
    void ClearAll();
    QListWidget* List() const { return list_; }

signals:
    void Changed();

private:
    void Show();
    bool german_;
    Send send_;
    std::set<std::pair<QString, std::string>> set_; // (seat, option); the room's seat is empty
    QListWidget* list_;
    QPushButton* clear_;
};

} // namespace vp7
