// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/SeatTile.h"

#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/Picture.h"
#include "sim/display/Lcd.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vp7 {

QImage DisplayImage(const QString& upper, const QString& lower) {
    const Rect area = layout::LcdArea;
    Picture display(area.Width(), area.Height(), LcdUnlitColor);
    DrawLcdText(display, upper.toStdString(), UpperLine, 0, 0);
    DrawLcdText(display, lower.toStdString(), LowerLine, 0, 0);
    const QImage shown(reinterpret_cast<const uchar*>(display.Bits()), display.DeviceWidth(),
                       display.DeviceHeight(), display.DeviceWidth() * int(sizeof(Rgb)),
                       QImage::Format_RGB32);
    return shown.copy(); // the picture goes with this function
}

SeatTile::SeatTile(const QString& seat, bool german, QWidget* parent)
    : QFrame(parent), german_(german), name_(new QLabel(seat, this)), display_(new QLabel(this)),
      position_(new QProgressBar(this)), mode_(new QLabel(this)), faults_(new QLabel(this)),
      exercise_(new QLabel(this)), progress_(new QLabel(this)), hidden_(new QLabel(this)) {
    shown_.seat = seat.toStdString();
    shown_.online = false;
    setObjectName(QStringLiteral("seat-") + seat);
    setFrameShape(QFrame::StyledPanel);
    setLineWidth(2);
    QFont large = name_->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    name_->setFont(large);
    position_->setRange(0, 1000);
    position_->setTextVisible(true);
    faults_->setWordWrap(true);
    faults_->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    // The exercise's progress and time left are what the instructor looks for across the room.
    QFont progress = progress_->font();
    progress.setPointSizeF(progress.pointSizeF() * 1.25);
    progress.setBold(true);
    progress_->setFont(progress);
    exercise_->setWordWrap(true);
    hidden_->setObjectName(QStringLiteral("HiddenMark"));
    hidden_->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{name_, display_, position_, mode_, faults_, exercise_,
                                                      progress_, hidden_})
        column->addWidget(w);
    column->addStretch(); // a tile in a row of taller ones keeps its lines together at the top
    Show(shown_);
}

void SeatTile::ShowMissing() {
    Show(shown_);
    missing_ = true;
    display_->hide(); // nothing of a device yet, not even an empty display
    position_->hide();
    mode_->setText(german_ ? QStringLiteral("fehlt") : QStringLiteral("missing"));
    setAccessibleName(Summary());
}

void SeatTile::Show(const SeatStatus& shown) {
    shown_ = shown;
    missing_ = false;
    display_->show();
    position_->show();
    display_->setPixmap(QPixmap::fromImage(
        DisplayImage(QString::fromStdString(shown.lcdUpper), QString::fromStdString(shown.lcdLower))));
    position_->setValue(static_cast<int>(shown.position * 10));
    position_->setFormat(QStringLiteral("%1 %").arg(shown.position, 0, 'f', 1));
    QString mode = QString::fromStdString(shown.mode);
    if (shown.frozen) mode += german_ ? QStringLiteral(" · eingefroren") : QStringLiteral(" · frozen");
    if (shown.speed != 1) mode += QStringLiteral(" · %1×").arg(shown.speed);
    mode_->setText(mode);
    QStringList faults;
    for (const int fault : shown.faults)
        faults << QString::number(fault);
    faults_->setText(faults.isEmpty() ? QString()
                                      : (german_ ? QStringLiteral("Störung ") : QStringLiteral("Fault ")) +
                                            faults.join(QStringLiteral(", ")));
    // The title on its line; below it, large, how many checks hold and the time left, in words.
    exercise_->setText(QString::fromStdString(shown.exercise));
    QString progress;
    if (!shown.exercise.empty() && !handedIn_.isEmpty()) {
        progress =
            (german_ ? QStringLiteral("abgegeben · %1") : QStringLiteral("handed in · %1")).arg(handedIn_);
    } else if (!shown.exercise.empty()) {
        progress = (german_ ? QStringLiteral("%1/%2 erfüllt") : QStringLiteral("%1/%2 holding"))
                       .arg(shown.checksHolding)
                       .arg(shown.checks);
        if (shown.timeLeftMs) {
            const int64_t seconds = *shown.timeLeftMs / 1000;
            progress += (german_ ? QStringLiteral(" · %1:%2 übrig") : QStringLiteral(" · %1:%2 left"))
                            .arg(seconds / 60)
                            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        }
    }
    progress_->setText(progress);
    Restyle();
    setAccessibleName(Summary());
}

QString SeatTile::Summary() const {
    if (missing_) return QString::fromStdString(shown_.seat) + QStringLiteral("; ") + mode_->text();
    QStringList parts{QString::fromStdString(shown_.seat),
                      shown_.online
                          ? (german_ ? QStringLiteral("verbunden") : QStringLiteral("connected"))
                          : (german_ ? QStringLiteral("nicht verbunden") : QStringLiteral("offline")),
                      QString::fromStdString(shown_.lcdUpper).trimmed() + QLatin1Char('|') +
                          QString::fromStdString(shown_.lcdLower).trimmed(),
                      mode_->text()};
    for (const QLabel* l : {faults_, exercise_, progress_, hidden_})
        if (!l->text().isEmpty()) parts << l->text();
    return parts.join(QStringLiteral("; "));
}

void SeatTile::ShowHiddenFaults(const QStringList& captions) {
    hidden_->setText(captions.isEmpty()
                         ? QString()
                         : (german_ ? QStringLiteral("◆ verdeckt: ") : QStringLiteral("◆ hidden: ")) +
                               captions.join(QStringLiteral(", ")));
    setAccessibleName(Summary());
}

void SeatTile::ShowHandedIn(const QString& score) {
    handedIn_ = score;
    if (!missing_) Show(shown_);
}

void SeatTile::SetChosen(bool chosen) {
    chosen_ = chosen;
    Restyle();
}

// Offline seats greyed, chosen ones framed in the selection colour, faults in red. A style sheet is
// set only when it changes: a status arrives every second from every seat.
void SeatTile::Restyle() {
    const QString frame =
        chosen_ ? palette().color(QPalette::Highlight).name() : QStringLiteral("transparent");
    const QString style = QStringLiteral("vp7--SeatTile { border: 3px solid %1; } QLabel { color: %2; }")
                              .arg(frame, shown_.online ? palette().color(QPalette::WindowText).name()
                                                        : QStringLiteral("#909090"));
    if (style != styleSheet()) setStyleSheet(style);
}

void SeatTile::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit Clicked(QString::fromStdString(shown_.seat), event->modifiers().testFlag(Qt::ControlModifier));
    event->accept(); // taken here: the grid behind would choose none
}

void SeatTile::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Opened(QString::fromStdString(shown_.seat));
    QFrame::mouseDoubleClickEvent(event);
}

} // namespace vp7
