// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/DeviceInput.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace vp7 {

bool IsDeviceInput(QObject* watched, const QEvent& event, std::initializer_list<const QWidget*> deviceWindows,
                   const QWidget* exempt) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == exempt || (exempt && exempt->isAncestorOf(widget))) return false;
    return std::ranges::find(deviceWindows, widget->window()) != deviceWindows.end();
}

} // namespace vp7
