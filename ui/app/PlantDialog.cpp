// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/PlantDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QNetworkInterface>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vp7 {
namespace {

constexpr int kMaxPort = 65535, kMaxUnit = 255;
const char* const kLoopback = "127.0.0.1";
const char* const kEveryInterface = "0.0.0.0";

QString Words(bool german, const char* de, const char* en) {
    return QString::fromUtf8(german ? de : en);
}

} // namespace

PlantDialog::PlantDialog(QWidget* parent, const PlantSettings& settings, const QString& status, bool german)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PlantDialog"));
    setWindowTitle(Words(german, "Modbus-Server", "Modbus server"));
    serve_ = new QCheckBox(Words(german, "Server eingeschaltet", "Server switched on"), this);
    serve_->setObjectName(QStringLiteral("PlantServe"));
    serve_->setChecked(settings.serve);
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("PlantPort"));
    port_->setRange(0, kMaxPort); // 0: any free port
    port_->setValue(settings.options.port);
    unit_ = new QSpinBox(this);
    unit_->setObjectName(QStringLiteral("PlantUnit"));
    unit_->setRange(0, kMaxUnit);
    unit_->setValue(settings.options.unitId);
    // The loopback first: a plant elsewhere on the network is the user's explicit choice.
    interface_ = new QComboBox(this);
    interface_->setObjectName(QStringLiteral("PlantInterface"));
    interface_->setEditable(true);
    interface_->addItem(QString::fromLatin1(kLoopback));
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            interface_->addItem(a.toString());
    interface_->addItem(QString::fromLatin1(kEveryInterface));
    interface_->setCurrentText(QString::fromStdString(settings.options.address));
    readOnly_ = new QCheckBox(
        Words(german, "Nur lesen (Schreibzugriffe abweisen)", "Read only (refuse writes)"), this);
    readOnly_->setObjectName(QStringLiteral("PlantReadOnly"));
    readOnly_->setChecked(settings.options.access == modbus::Access::ReadOnly);

    auto* form = new QFormLayout;
    form->addRow(serve_);
    form->addRow(Words(german, "Port:", "Port:"), port_);
    form->addRow(Words(german, "Unit-ID:", "Unit id:"), unit_);
    form->addRow(Words(german, "Schnittstelle:", "Interface:"), interface_);
    form->addRow(readOnly_);
    auto* state = new QLabel(status, this);
    state->setObjectName(QStringLiteral("PlantStatus"));
    state->setTextFormat(Qt::PlainText);
    form->addRow(state);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

PlantSettings PlantDialog::Settings() const {
    PlantSettings s;
    s.kept = true;
    s.serve = serve_->isChecked();
    s.options.port = port_->value();
    s.options.unitId = unit_->value();
    s.options.address = interface_->currentText().trimmed().toStdString();
    s.options.access = readOnly_->isChecked() ? modbus::Access::ReadOnly : modbus::Access::ReadWrite;
    return s;
}

} // namespace vp7
