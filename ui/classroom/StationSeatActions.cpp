// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/StationSeatActions.h"

#include "classroom/SeatCommand.h"
#include "session/StateFile.h"
#include "ui/classroom/InstructorStation.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QSaveFile>

namespace vp7 {
namespace {

// The seconds a rewind offers first: enough to undo the last step or two.
constexpr int kFirstRewindSeconds = 30;
// Two states of a seat in the same second are kept side by side, up to this many.
constexpr int kStatesInOneSecond = 100;

} // namespace

StationSeatActions::StationSeatActions(InstructorStation& station, bool german)
    : QObject(&station), station_(station), german_(german) {}

// Each seat on its own topic, so that the station knows whose answer it waits for.
void StationSeatActions::RequestStates(QStringList seats) {
    if (seats.isEmpty()) seats = station_.Seats();
    if (seats.isEmpty())
        return station_.Note("Kein Platz, dessen Zustand zu speichern wäre", "no seat to save the state of");
    for (const QString& seat : seats)
        asked_.insert(seat);
    station_.SendTo(seats, {SeatCommandKind::SaveState});
}

QString StationSeatActions::TakeState(const QString& seat, const SeatStateMessage& answer) {
    if (!asked_.erase(seat)) {
        station_.Note("%1: ein Zustand, um den niemand bat, nicht behalten",
                      "%1: a state nobody asked for, not kept", seat);
        return {};
    }
    if (!answer.refusal.empty()) {
        station_.Note("%1 hat keinen Zustand gesendet: %2", "%1 has no state to give: %2", seat,
                      QString::fromStdString(answer.refusal));
        return {};
    }
    // Read whole before it is kept: what is kept loads.
    const auto decoded = DecodeStateFile(answer.state, std::nullopt);
    if (const auto* refusal = std::get_if<StateRefusal>(&decoded)) {
        station_.Note("%1: Der Zustand wird nicht behalten: %2", "%1: the state is not kept: %2", seat,
                      QString::fromStdString(refusal->Text(german_)));
        return {};
    }
    const QString path = StatePath(seat);
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(answer.state.data(), static_cast<qint64>(answer.state.size())) < 0 || !file.commit()) {
        station_.Note("Kann den Zustand von %1 nicht in %2 behalten", "cannot keep the state of %1 in %2",
                      seat, station_.ClassFolder());
        return {};
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    station_.Note("Der Zustand von %1 ist in %2", "the state of %1 is kept in %2", seat, path);
    return path;
}

QString StationSeatActions::StatePath(const QString& seat) const {
    const QString folder = station_.ClassFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    const QString stem = QDir(folder).filePath(
        seat + QLatin1Char('-') + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    for (int n = 1; n <= kStatesInOneSecond; ++n) {
        const QString path =
            stem + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".vp7state");
        if (!QFile::exists(path)) return path;
    }
    return {};
}

void StationSeatActions::AskAndRewind() {
    bool ok = false;
    const int seconds = QInputDialog::getInt(
        &station_, QString::fromUtf8(Text("Zurückspulen", "Rewind")),
        QString::fromUtf8(Text("Wie viele Sekunden zurück? (Ein kürzerer Verlauf geht an seinen Anfang.)",
                               "How many seconds back? (A shorter session goes back to its start.)")),
        kFirstRewindSeconds, kRoomRewindMinSeconds, kRoomRewindMaxSeconds, 1, &ok);
    if (ok) station_.Send({SeatCommandKind::Rewind, {}, static_cast<double>(seconds)});
}

void StationSeatActions::CloseUnasked() {
    unasked_ = true;
    station_.close();
    unasked_ = false;
}

bool StationSeatActions::MayClose() {
    if (unasked_) return true;
    int online = 0;
    for (const QString& seat : station_.Seats())
        online += station_.Tile(seat)->Shown().online;
    if (online == 0) return true;
    if (closeAsker_) return closeAsker_(online);
    return QMessageBox::question(&station_, station_.windowTitle(),
                                 QString::fromUtf8(online == 1
                                                       ? Text("1 Platz ist verbunden. Station schließen?",
                                                              "1 seat is connected. Close the station?")
                                                       : Text("%1 Plätze sind verbunden. Station schließen?",
                                                              "%1 seats are connected. Close the station?"))
                                     .arg(online)) == QMessageBox::Yes;
}

} // namespace vp7
