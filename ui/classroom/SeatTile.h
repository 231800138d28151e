// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One seat of the class on the instructor's screen: its name, the device's two display lines drawn as
// on the device, a bar for the valve's position, the mode, the faults, the exercise's progress, and
// whether it is connected. Read from across the room: large type, the faults in red.
#include "classroom/SeatStatus.h"

#include <QFrame>
#include <QImage>
#include <QString>
#include <QStringList>

class QLabel;
class QProgressBar;

namespace vp7 {

// The two lines' segments over the unlit display, as the device draws them.
QImage DisplayImage(const QString& upper, const QString& lower);

class SeatTile : public QFrame {
    Q_OBJECT
public:
    SeatTile(const QString& seat, bool german, QWidget* parent);
    void Show(const SeatStatus& shown);
    // A seat of the room that has not joined yet: greyed, "missing", until its first status is shown.
    void ShowMissing();
    bool Missing() const { return missing_; }
    const SeatStatus& Shown() const { return shown_; }
    // The captions of the faults the station hid on the seat, shown as a small mark.
    void ShowHiddenFaults(const QStringList& captions);
    // The seat's exercise handed in, with the station's score: in place of the checks and time left,
    // which the seat goes on sending. Empty for none (a new exercise).
    void ShowHandedIn(const QString& score);
    void SetChosen(bool chosen);
    bool Chosen() const { return chosen_; }
    // What the tile says, as a screen reader and a test read it.
    QString Summary() const;

signals:
    // Clicked: the seat alone is chosen, or with Ctrl added to (or taken from) the chosen ones.
    void Clicked(const QString& seat, bool adding);
    // Double-clicked: the seat's live view is wanted.
    void Opened(const QString& seat);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Restyle();
    SeatStatus shown_;
    bool german_;
    bool chosen_ = false;
    bool missing_ = false;
    QLabel* name_;
    QLabel* display_;
    QProgressBar* position_;
    QLabel* mode_;
    QLabel* faults_;
    QLabel* exercise_;
    QLabel* progress_;
    QLabel* hidden_;
    QString handedIn_;
};

} // namespace vp7
