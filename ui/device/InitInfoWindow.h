// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The initialization info window: names the current run, explains it and pauses or continues the
// procedure. Its contents live in the simulator's form state; this window only shows them.
#include "ui/qt/Zoom.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

namespace vp7 {

class Simulator;

class InitInfoWindow : public QDialog {
    Q_OBJECT
public:
    InitInfoWindow(Simulator& sim, QWidget* parent);
    // Shows the device `sim`, a new session's, in place of the one shown.
    void Rebind(Simulator& sim) { sim_ = &sim; }
    // Copies the window's state from the simulator; moves it only when the procedure starts.
    void SyncFromForm();
    // The window at the small windows' zoom.
    void SetZoom(double factor);
    // Esc does nothing while the procedure runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Simulator* sim_;
    QLabel *runStatus_, *runDiscr_, *runError_, *runToDo_, *runKey_, *runFunction_;
    QLabel *currentRun_, *errorText_;
    QTextEdit *runText_, *measureText_, *keyText_;
    QPushButton* pause_;
    ZoomedChildren zoomed_;
    bool wasVisible_ = false;
};

} // namespace vp7
