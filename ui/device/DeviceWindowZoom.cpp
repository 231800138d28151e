// SPDX-License-Identifier: GPL-3.0-or-later
// A device window at a zoom: its device view laid out at it, the menu bar's font by steps, the window
// sized to show the form, the device picture drawn at the scale the zoom needs.
#include "ui/device/DeviceWindow.h"

#include "ui/device/DeviceView.h"
#include "ui/device/PictureWidget.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include <utility>

namespace vp7 {

// The menu bar's font goes by steps; until the form's fonts are first zoomed it stays the window's.
void DeviceWindow::ApplyZoom(double factor) {
    view_->ApplyZoom(factor);
    if (!view_->FontsZoomed()) return;
    const double menuZoom = StepAtOrBelow(factor) / 100.0;
    if (menuZoom == 1)
        menuBar()->setFont(QFont()); // the window's, as always
    else
        menuBar()->setFont(ZoomedFont(font(), menuZoom));
}

void DeviceWindow::SetPictureScale(int scale) {
    if (scale == PictureScale()) return;
    sessions_.SetPictureScale(scale);
    Picture()->RepaintChanged();
}

void DeviceWindow::SizeToForm(bool centred) {
    if (isMaximized() || isFullScreen()) return;
    // The window's least size follows the form's only once its layout is activated; a smaller zoom
    // would otherwise keep the larger window.
    if (QLayout* l = layout()) l->activate();
    const QSize frame = frameGeometry().size() - geometry().size();
    QRect outer(frameGeometry().topLeft(), Zoom()(kDesignedWindow));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); centred && screen)
        outer.moveCenter(screen->availableGeometry().center());
    outer = KeptOnScreen(outer, AvailableScreenAreas());
    resize(outer.size() - frame);
    move(outer.topLeft());
}

} // namespace vp7
