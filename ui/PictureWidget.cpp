#include "ui/PictureWidget.h"

#include "core/Simulator.h"
#include "platform/PictureLayout.h"

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

void PictureWidget::DeliverPointer(Simulator& sim, const QWidget& widget, const QMouseEvent& event) {
    const QPoint at = widget.mapToParent(event.position().toPoint()) -
                      QPoint(layout::PictureInWindow.x, layout::PictureInWindow.y);
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        sim.PointerDown(ToButton(event.button()), event.modifiers() & Qt::ShiftModifier, at.x(), at.y());
        break;
    case QEvent::MouseButtonRelease:
        sim.PointerUp(ToButton(event.button()), at.x(), at.y());
        break;
    case QEvent::MouseMove:
        sim.PointerMove(at.x(), at.y());
        break;
    default:
        break;
    }
}

PictureWidget::PictureWidget(Simulator& sim, Picture& picture, QWidget* parent)
    : QWidget(parent), sim_(sim), picture_(picture) {
    setMouseTracking(IsDevicePicture());
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted from the picture
}

bool PictureWidget::IsDevicePicture() const {
    return &picture_ == &sim_.image1;
}

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
    DeliverPointer(sim_, *this, *event);
    emit PointerUsed();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    DeliverPointer(sim_, *this, *event);
    emit PointerUsed();
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    DeliverPointer(sim_, *this, *event);
    emit PointerUsed();
}

} // namespace vp7
