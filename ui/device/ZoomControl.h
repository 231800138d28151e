// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Ansicht" / "View" menu: the zoom steps from 100 % to 300 %, "Fit to window", Ctrl++ / Ctrl+- /
// Ctrl+0, and the choice kept in the settings file's section [View]. It lays the device window out at the
// zoom and sizes it (or, fitted, follows the size the user gives it), draws the device picture at the
// scale the zoom needs, and tells the small windows and the application's dialogs their zoom.
#include "session/ViewSettings.h"

#include <QFont>
#include <QObject>
#include <QTimer>

#include <string>

namespace vp7 {

class DeviceWindow;

class ZoomControl : public QObject {
    Q_OBJECT
public:
    // Works the "Ansicht" menu and keeps the zoom in the settings (before they are read).
    explicit ZoomControl(DeviceWindow& window);

    // The scale to render the artwork at before the settings are read: that of the zoom kept in the
    // settings file beside the program or the user's (SettingsBases), or of a first start on this screen.
    static int StartingPictureScale(const std::string& programDir, const std::string& userDir,
                                    int screenScale);
    // Once the settings are read: the zoom they keep, or on a first start the one the screen suggests.
    void Start();
    // The View menu's choices; a step resizes the window to show the whole form.
    void Choose(int percent);
    void ChooseFit();
    void ZoomIn();
    void ZoomOut();
    // The same choice as `other`'s window (a played recording's or an exercise's window takes the
    // user's zoom).
    void Follow(const ZoomControl& other);
    bool Fitting() const { return settings_.fit; }
    // The small windows' zoom: the form's, or while it is fitted, the step at or below it.
    double SmallWindowZoom() const { return smallZoom_; }

signals:
    void SmallWindowZoomChanged(double zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(double factor, bool resizeWindow);
    void FitToWindow();
    void Sharpen();
    void ShowChoice();
    DeviceWindow& window_;
    ViewSettings settings_;
    // A fitted form's picture is drawn at its new scale once the user has stopped dragging the edge.
    QTimer sharpen_;
    bool fitQueued_ = false;
    double smallZoom_ = 1;
};

} // namespace vp7
