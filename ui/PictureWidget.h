#pragma once
// Shows the device picture unscaled (in logical points) and hands pointer events on it to the
// simulator. Only the rectangles the simulation changed are repainted.
#include <QWidget>

namespace vp7 {

class Simulator;

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Simulator& sim, QWidget* parent);
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
    Simulator& sim_;
};

} // namespace vp7
