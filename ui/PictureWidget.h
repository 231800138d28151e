#pragma once
// Shows a picture of the simulator unscaled (in logical points): the device picture, whose pointer
// events go to the device, or the splash view, which only takes a click. Only the rectangles the
// simulation changed are repainted.
#include <QWidget>

namespace vp7 {

class Picture;
class Simulator;

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Simulator& sim, Picture& picture, QWidget* parent);
    // Repaints what changed in the picture since the last call.
    void RepaintChanged();

signals:
    void PointerUsed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool IsDevicePicture() const;
    Simulator& sim_;
    Picture& picture_;
};

} // namespace vp7
