#include "ui/PictureWidget.h"

#include "core/Simulator.h"
#include "platform/PictureLayout.h"
#include "ui/PictureAccessible.h"
#include "ui/artwork/Artwork.h"

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
    if (IsDevicePicture()) {
        setFocusPolicy(Qt::StrongFocus);
        InstallPictureAccessibility();
    }
}

bool PictureWidget::IsDevicePicture() const {
    return &picture_ == &sim_.image1;
}

void PictureWidget::RepaintChanged() {
    const Rect r = picture_.TakeDirty();
    if (r.Empty()) return;
    update(r.left, r.top, r.Width(), r.Height());
    if (IsDevicePicture() && !r.Intersected(layout::LcdArea).Empty()) NotifyDisplayChanged(*this);
}

void PictureWidget::ShowKeyHeld(DeviceKey key) {
    if (key == keyHeld_) return;
    for (const DeviceKey k : {keyHeld_, key})
        if (k != DeviceKey::None) update(art::KeyPressedArea(KeyIndex(k)));
    keyHeld_ = key;
}

// Only the frame's four edges are painted again, not the whole picture.
void PictureWidget::UpdateFocusFrame() {
    const QRect r = rect();
    update(QRegion(r).subtracted(r.adjusted(1, 1, -1, -1)));
}

void PictureWidget::focusInEvent(QFocusEvent*) {
    UpdateFocusFrame();
}

void PictureWidget::focusOutEvent(QFocusEvent*) {
    UpdateFocusFrame();
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
    if (keyHeld_ != DeviceKey::None) art::PaintKeyPressed(p, KeyIndex(keyHeld_));
    if (hasFocus()) {
        // White under black dots shows on the dark wall and the light housing alike.
        const QRect frame = rect().adjusted(0, 0, -1, -1);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 0));
        p.drawRect(frame);
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(frame);
    }
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
