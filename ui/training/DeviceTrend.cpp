// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/DeviceTrend.h"

#include "ui/device/DeviceWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/device/ZoomControl.h"
#include "ui/training/TrendWindow.h"

#include <QAction>

namespace vp7 {

std::unique_ptr<TrendWindow> OpenTrendWindow(DeviceWindow& window) {
    DeviceWindow* device = &window;
    auto made = std::make_unique<TrendWindow>(window.Sim(), window.Trend(), window.TrendPlace(), device);
    TrendWindow* trend = made.get();
    QAction* item = window.Menus().Action(ActionId::Trend);
    QObject::connect(device, &DeviceWindow::EventHandled, trend, [trend] { trend->Recorded(); });
    QObject::connect(device, &DeviceWindow::FormChanged, trend, [trend] { trend->Retranslate(); });
    QObject::connect(item, &QAction::toggled, trend, [device, trend](bool on) {
        device->TrendPlace().visible = on;
        trend->setVisible(on);
    });
    QObject::connect(trend, &TrendWindow::Closed, item, [item] { item->setChecked(false); });
    if (window.TrendPlace().visible) item->setChecked(true);
    QObject::connect(&window.View(), &ZoomControl::SmallWindowZoomChanged, trend,
                     [trend](double zoom) { trend->SetZoom(zoom); });
    QObject::connect(device, &DeviceWindow::SessionTaken, trend,
                     [device, trend] { trend->Rebind(device->Sim(), device->Trend()); });
    trend->SetZoom(window.View().SmallWindowZoom());
    return made;
}

} // namespace vp7
