// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One seat's live view on the instructor's station: the seat's device picture as the seat sends it, a
// few frames a second while the view is open; a seat that sends no picture (a headless one) is shown
// by its display and position, large. A frame that is not an image of a sensible size is passed over.
#include "classroom/SeatStatus.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>

class QLabel;

namespace vp7 {

class LiveView : public QWidget {
    Q_OBJECT
public:
    LiveView(const QString& seat, bool german, QWidget* parent);
    // A frame from the seat; false when it was no image (nothing changes then).
    bool TakeFrame(const QByteArray& bytes);
    void TakeStatus(const SeatStatus& status);
    bool HasFrame() const { return framed_; }

signals:
    void Closed(const QString& seat);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowFrame();
    QString seat_;
    bool german_;
    bool framed_ = false;
    QImage frame_; // the last frame as it came, scaled anew to each size of the window
    QLabel* picture_;
    QLabel* caption_;
};

} // namespace vp7
