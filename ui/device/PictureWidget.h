// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows a picture of the simulator (the device picture, or the splash view over the whole window) at
// the window's zoom. Both hand their pointer events to the simulator, which decides what they reach.
// Only the rectangles the simulation changed are repainted. At 100 %, and wherever the picture's pixels
// meet the screen's one to one, they are copied as they are; at other zooms the picture, drawn at the
// next larger integer scale, is reduced smoothly, and only where it changed. The device picture takes
// the keyboard focus (a thin frame shows it has it) and draws a key held on the keyboard pressed.
#include "sim/operation/KeyInput.h"
#include "ui/qt/PictureReduction.h"

#include <QRegion>
#include <QWidget>

class QMouseEvent;

namespace vp7 {

class Picture;
class Simulator;

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Simulator& sim, Picture& picture, QWidget* parent);
    // Shows `picture` of `sim`, a new device's, in place of the one shown: painted whole.
    void Rebind(Simulator& sim, Picture& picture);
    // Repaints what changed in the picture since the last call.
    void RepaintChanged();
    // The zoom the window shows the picture at; the window sizes the widget.
    void SetZoom(double zoom);
    double Zoom() const { return zoom_; }
    // Hands a mouse event on `widget`, a child of the window's client area lying on the device picture
    // (the picture, the splash view, a latch circle), to the simulator in picture coordinates; `zoom` is
    // the window's.
    static void DeliverPointer(Simulator& sim, const QWidget& widget, const QMouseEvent& event, double zoom);
    bool IsDevicePicture() const;
    Simulator& Sim() const { return *sim_; }
    // The device key held on the keyboard, drawn pressed; None when no key is held.
    void ShowKeyHeld(DeviceKey key);
    DeviceKey KeyHeld() const { return keyHeld_; }

signals:
    void PointerUsed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateFocusFrame();
    // Whether the picture's pixels are the screen's, one to one.
    bool OneToOne() const;
    Simulator* sim_;
    Picture* picture_;
    DeviceKey keyHeld_ = DeviceKey::None;
    double zoom_ = 1;
    PictureReduction reduction_;
    QRegion stale_; // where the reduced picture is behind, in widget points
};

} // namespace vp7
