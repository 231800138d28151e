#pragma once
// Shows a picture of the simulator unscaled (in logical points): the device picture, or the splash
// view over the whole window. Both hand their pointer events to the simulator, which decides what they
// reach. Only the rectangles the simulation changed are repainted. The device picture takes the
// keyboard focus (a thin frame shows it has it) and draws a key held on the keyboard pressed.
#include "device/KeyInput.h"

#include <QWidget>

class QMouseEvent;

namespace vp7 {

class Picture;
class Simulator;

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Simulator& sim, Picture& picture, QWidget* parent);
    // Repaints what changed in the picture since the last call.
    void RepaintChanged();
    // Hands a mouse event on `widget`, a child of the window's client area lying on the device picture
    // (the picture, the splash view, a latch circle), to the simulator in picture coordinates.
    static void DeliverPointer(Simulator& sim, const QWidget& widget, const QMouseEvent& event);
    bool IsDevicePicture() const;
    Simulator& Sim() const { return sim_; }
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
    Simulator& sim_;
    Picture& picture_;
    DeviceKey keyHeld_ = DeviceKey::None;
};

} // namespace vp7
