// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a played or frozen device must not take: the user's pointer and keys on its windows.
#include <initializer_list>

class QEvent;
class QObject;
class QWidget;

namespace vp7 {

// A pointer or key event for one of `deviceWindows`, not on `exempt` or what lies in it.
bool IsDeviceInput(QObject* watched, const QEvent& event, std::initializer_list<const QWidget*> deviceWindows,
                   const QWidget* exempt);

} // namespace vp7
