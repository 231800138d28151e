#include "ui/PictureWidget.h"

#include "core/Simulator.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace vp7 {
namespace {

MouseButton ToButton(Qt::MouseButton b) {
    if (b == Qt::RightButton) return MouseButton::Right;
    if (b == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

} // namespace

PictureWidget::PictureWidget(Simulator& sim, Picture& picture, QWidget* parent)
    : QWidget(parent), sim_(sim), picture_(picture) {
    setMouseTracking(IsDevicePicture());
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted from the picture
}

bool PictureWidget::IsDevicePicture() const { return &picture_ == &sim_.image1; }

void PictureWidget::RepaintChanged() {
    const Rect r = picture_.TakeDirty();
    if (!r.Empty()) update(r.left, r.top, r.Width(), r.Height());
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    Picture& pic = picture_;
    if (pic.Width() == 0) { // the splash view before any picture
        QPainter(this).fillRect(event->rect(), Qt::black);
        return;
    }
    QImage image(reinterpret_cast<const uchar*>(pic.Bits()), pic.DeviceWidth(), pic.DeviceHeight(),
                 pic.DeviceWidth() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(pic.Scale());
    QPainter p(this);
    const QRect r = event->rect();
    const int s = pic.Scale();
    p.drawImage(r, image, QRect(r.x() * s, r.y() * s, r.width() * s, r.height() * s));
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    if (!IsDevicePicture()) {
        sim_.Image2Click();
        emit PointerUsed();
        return;
    }
    const QPoint pos = event->position().toPoint();
    sim_.Image1MouseMove(pos.x(), pos.y()); // the device sees the pointer arrive before the press
    sim_.Image1MouseDown(ToButton(event->button()), event->modifiers() & Qt::ShiftModifier, pos.x(), pos.y());
    emit PointerUsed();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!IsDevicePicture()) return;
    const QPoint pos = event->position().toPoint();
    sim_.Image1MouseUp(ToButton(event->button()), pos.x(), pos.y());
    emit PointerUsed();
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!IsDevicePicture()) return;
    const QPoint pos = event->position().toPoint();
    // A dragged pointer may leave the picture; the device only ever sees points on it.
    if (!rect().contains(pos)) return;
    sim_.Image1MouseMove(pos.x(), pos.y());
    emit PointerUsed();
}

} // namespace vp7
