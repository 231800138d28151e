// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's small windows: the parameter table beside the device, the setpoint scale dialog and the
// screen check dialog. Their contents live in the simulator's form state; these windows show them and
// hand the user's actions to the simulator.
#include "ui/qt/Zoom.h"

#include <QDialog>

class QTableWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QCheckBox;

namespace vp7 {

class Simulator;

class ParamTableWindow : public QDialog {
    Q_OBJECT
public:
    ParamTableWindow(Simulator& sim, QWidget* parent);
    // Shows the device `sim`, a new session's, in place of the one shown.
    void Rebind(Simulator& sim) { sim_ = &sim; }
    void SyncFromForm();
    // The window and its table at the small windows' zoom; the device keeps the height in points.
    void SetZoom(double factor);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Simulator* sim_;
    QTableWidget* grid_;
    QFont designedFont_;
    FormZoom zoom_;
    bool shown_ = false;
};

class ScaleDialogWindow : public QDialog {
    Q_OBJECT
public:
    ScaleDialogWindow(Simulator& sim, QWidget* parent);
    // Shows the device `sim`, a new session's, in place of the one shown.
    void Rebind(Simulator& sim) { sim_ = &sim; }
    void SetZoom(double factor);
    // Fills the fields and captions, then runs modally.
    void Run();

private:
    Simulator* sim_;
    QLabel *label1_, *label2_, *label3_;
    QLineEdit *xe_, *xa_;
    QPushButton* cancel_;
    ZoomedChildren zoomed_;
};

class ScreenCheckWindow : public QDialog {
    Q_OBJECT
public:
    ScreenCheckWindow(Simulator& sim, QWidget* parent);
    // Shows the device `sim`, a new session's, in place of the one shown.
    void Rebind(Simulator& sim) { sim_ = &sim; }
    void SetZoom(double factor);
    void Run();

private:
    Simulator* sim_;
    QLabel* lines_[5];
    QPushButton *continue_, *close_;
    QCheckBox* check_;
    ZoomedChildren zoomed_;
};

} // namespace vp7
