// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/PictureWidget.h"

#include "model/PictureLayout.h"
#include "sim/Simulator.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/PictureAccessible.h"
#include "ui/qt/Zoom.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace vp7 {
namespace {

MouseButton ToButton(Qt::MouseButton b) {
    if (b == Qt::RightButton) return MouseButton::Right;
    if (b == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

// A reduced picture's changes reach a pixel further, where the filter spreads them.
constexpr int kFilterMargin = 1;

} // namespace

void PictureWidget::DeliverPointer(Simulator& sim, const QWidget& widget, const QMouseEvent& event,
                                   double zoom) {
    const QPoint inWindow = zoom == 1 ? widget.mapToParent(event.position().toPoint())
                                      : FormZoom(zoom).Unzoomed(widget.mapToParent(event.position()));
    const QPoint at = inWindow - QPoint(layout::PictureInWindow.x, layout::PictureInWindow.y);
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
    : QWidget(parent), sim_(&sim), picture_(&picture) {
    setMouseTracking(IsDevicePicture());
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted from the picture
    if (IsDevicePicture()) {
        setFocusPolicy(Qt::StrongFocus);
        InstallPictureAccessibility();
    }
}

bool PictureWidget::IsDevicePicture() const {
    return picture_ == &sim_->image1;
}

void PictureWidget::Rebind(Simulator& sim, Picture& picture) {
    sim_ = &sim;
    picture_ = &picture;
    picture_->TakeDirtyParts();
    SetZoom(zoom_);
    if (IsDevicePicture()) NotifyDisplayChanged(*this);
}

void PictureWidget::SetZoom(double zoom) {
    zoom_ = zoom;
    stale_ = QRegion(rect());
    update();
}

bool PictureWidget::OneToOne() const {
    const double ratio = devicePixelRatioF();
    return ratio == std::floor(ratio) && picture_->DeviceWidth() == width() * ratio &&
           picture_->DeviceHeight() == height() * ratio;
}

// Each changed part apart, so that a key and the display changing together do not repaint (or, zoomed,
// reduce) everything between them.
void PictureWidget::RepaintChanged() {
    if (zoom_ == 1) {
        bool displayChanged = false;
        for (const Rect& r : picture_->TakeDirtyParts()) {
            update(r.left, r.top, r.Width(), r.Height());
            displayChanged = displayChanged || !r.Intersected(layout::LcdArea).Empty();
        }
        if (IsDevicePicture() && displayChanged) NotifyDisplayChanged(*this);
        return;
    }
    // The picture's points to the widget's, outwards.
    const double sx = static_cast<double>(width()) / std::max(1, picture_->Width()),
                 sy = static_cast<double>(height()) / std::max(1, picture_->Height());
    bool displayChanged = false;
    for (const Rect& r : picture_->TakeDirtyParts()) {
        const QPoint from(static_cast<int>(std::floor(r.left * sx)) - kFilterMargin,
                          static_cast<int>(std::floor(r.top * sy)) - kFilterMargin);
        const QPoint to(static_cast<int>(std::ceil(r.right * sx)) + kFilterMargin,
                        static_cast<int>(std::ceil(r.bottom * sy)) + kFilterMargin);
        const QRect changed = QRect(from, to).intersected(rect());
        stale_ += changed;
        update(changed);
        displayChanged = displayChanged || !r.Intersected(layout::LcdArea).Empty();
    }
    if (IsDevicePicture() && displayChanged) NotifyDisplayChanged(*this);
}

void PictureWidget::ShowKeyHeld(DeviceKey key) {
    if (key == keyHeld_) return;
    for (const DeviceKey k : {keyHeld_, key})
        if (k != DeviceKey::None)
            update(FormZoom(zoom_)(art::KeyPressedArea(KeyIndex(k))).adjusted(-1, -1, 1, 1));
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
    Picture& pic = *picture_;
    if (pic.Width() == 0) { // the splash view before any picture
        QPainter(this).fillRect(event->rect(), Qt::black);
        return;
    }
    const QRect r = event->rect();
    QPainter p(this);
    if (zoom_ == 1 || OneToOne()) {
        const int s = zoom_ == 1 ? pic.Scale() : static_cast<int>(devicePixelRatioF());
        QImage image(reinterpret_cast<const uchar*>(pic.Bits()), pic.DeviceWidth(), pic.DeviceHeight(),
                     pic.DeviceWidth() * 4, QImage::Format_RGB32);
        image.setDevicePixelRatio(s);
        for (const QRect& part : event->region())
            p.drawImage(part, image, QRect(part.x() * s, part.y() * s, part.width() * s, part.height() * s));
    } else {
        const double ratio = devicePixelRatioF();
        const QSize size(static_cast<int>(std::lround(width() * ratio)),
                         static_cast<int>(std::lround(height() * ratio)));
        const auto device = [ratio](const QRect& w) {
            return QRect(QPoint(static_cast<int>(std::floor(w.left() * ratio)),
                                static_cast<int>(std::floor(w.top() * ratio))),
                         QPoint(static_cast<int>(std::ceil((w.right() + 1) * ratio)) - 1,
                                static_cast<int>(std::ceil((w.bottom() + 1) * ratio)) - 1));
        };
        for (const QRect& part : stale_)
            reduction_.Update(pic, size, ratio, device(part));
        stale_ = {};
        p.drawImage(r, reduction_.Image(), device(r));
    }
    if (keyHeld_ != DeviceKey::None) {
        p.save();
        p.scale(zoom_, zoom_);
        art::PaintKeyPressed(p, KeyIndex(keyHeld_));
        p.restore();
    }
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
    DeliverPointer(*sim_, *this, *event, zoom_);
    emit PointerUsed();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    DeliverPointer(*sim_, *this, *event, zoom_);
    emit PointerUsed();
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    DeliverPointer(*sim_, *this, *event, zoom_);
    emit PointerUsed();
}

} // namespace vp7
