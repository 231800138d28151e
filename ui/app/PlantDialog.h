// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Extras" → "Modbus-Server…": the server switched on or off, its port, unit id, the interface it
// listens on (the loopback unless the user picks another) and whether clients may write.
#include "plant/PlantSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace vp7 {

class PlantDialog : public QDialog {
    Q_OBJECT
public:
    // `status` says what the server does now ("listening on 127.0.0.1:1502, 2 clients").
    PlantDialog(QWidget* parent, const PlantSettings& settings, const QString& status, bool german);
    // The settings as the user left them.
    PlantSettings Settings() const;

private:
    QCheckBox* serve_;
    QSpinBox* port_;
    QSpinBox* unit_;
    QComboBox* interface_;
    QCheckBox* readOnly_;
};

} // namespace vp7
