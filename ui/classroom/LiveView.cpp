// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/LiveView.h"

#include "ui/classroom/LiveFrame.h"
#include "ui/classroom/SeatTile.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace vp7 {
namespace {
constexpr int kDisplayEnlarged = 3; // the display alone, read from across the room
} // namespace

LiveView::LiveView(const QString& seat, bool german, QWidget* parent)
    : QWidget(parent, Qt::Window), seat_(seat), german_(german), picture_(new QLabel), caption_(new QLabel) {
    setObjectName(QStringLiteral("LiveView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle((german ? QStringLiteral("Platz %1") : QStringLiteral("Seat %1")).arg(seat));
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(320, 160);
    // The frame follows the window's size; the label must not hold the window at the frame's.
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    QFont big = caption_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    caption_->setFont(big);
    caption_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 1);
    layout->addWidget(caption_);
}

bool LiveView::TakeFrame(const QByteArray& bytes) {
    const QImage image = ReadLiveFrame(bytes);
    if (image.isNull()) return false;
    if (!framed_) {
        // The first frame sizes the window to show it whole, as far as the screen allows.
        framed_ = true;
        QSize wanted = image.size() + QSize(0, caption_->sizeHint().height() + layout()->spacing()) +
                       QSize(layout()->contentsMargins().left() + layout()->contentsMargins().right(),
                             layout()->contentsMargins().top() + layout()->contentsMargins().bottom());
        if (const QScreen* shown = screen()) wanted = wanted.boundedTo(shown->availableSize() * 0.9);
        resize(wanted);
    }
    frame_ = image;
    ShowFrame();
    return true;
}

void LiveView::ShowFrame() {
    if (frame_.isNull()) return;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        frame_.scaled(picture_->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    picture_->setPixmap(pixmap);
}

void LiveView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ShowFrame();
}

void LiveView::TakeStatus(const SeatStatus& status) {
    if (!framed_) {
        const QImage display =
            DisplayImage(QString::fromStdString(status.lcdUpper), QString::fromStdString(status.lcdLower));
        picture_->setPixmap(QPixmap::fromImage(display.scaled(display.size() * kDisplayEnlarged)));
    }
    QString line = QStringLiteral("%1   %2 %   ")
                       .arg(QString::fromStdString(status.mode))
                       .arg(status.position, 0, 'f', 1);
    if (!status.online)
        line += german_ ? QStringLiteral("nicht verbunden") : QStringLiteral("not connected");
    else if (status.frozen)
        line += german_ ? QStringLiteral("angehalten") : QStringLiteral("frozen");
    caption_->setText(line);
}

void LiveView::closeEvent(QCloseEvent* event) {
    emit Closed(seat_);
    event->accept();
}

} // namespace vp7
