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

PictureWidget::PictureWidget(Simulator& sim, QWidget* parent) : QWidget(parent), sim_(sim) {
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(sim.image1.Width(), sim.image1.Height());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted from the picture
}

void PictureWidget::RepaintChanged() {
    const Rect r = sim_.image1.TakeDirty();
    if (!r.Empty()) update(r.left, r.top, r.Width(), r.Height());
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    Picture& pic = sim_.image1;
    QImage image(reinterpret_cast<const uchar*>(pic.Bits()), pic.DeviceWidth(), pic.DeviceHeight(),
                 pic.DeviceWidth() * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(pic.Scale());
    QPainter p(this);
    const QRect r = event->rect();
    const int s = pic.Scale();
    p.drawImage(r, image, QRect(r.x() * s, r.y() * s, r.width() * s, r.height() * s));
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    sim_.Image1MouseMove(pos.x(), pos.y()); // the device sees the pointer arrive before the press
    sim_.Image1MouseDown(ToButton(event->button()), event->modifiers() & Qt::ShiftModifier, pos.x(), pos.y());
    emit PointerUsed();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    sim_.Image1MouseUp(ToButton(event->button()), pos.x(), pos.y());
    emit PointerUsed();
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // A dragged pointer may leave the picture; the device only ever sees points on it.
    if (!rect().contains(pos)) return;
    sim_.Image1MouseMove(pos.x(), pos.y());
    emit PointerUsed();
}

} // namespace vp7
