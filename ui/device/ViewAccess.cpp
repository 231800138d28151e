// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/ViewAccess.h"

#include "sim/Simulator.h"
#include "ui/device/DeviceView.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace vp7 {
namespace {

// Down the left column as laid out (the initialization errors lie in the simulation options' frame),
// then the setpoint, the help choices, and last the device picture.
constexpr const char* kTabOrder[] = {
    "ControllerSelect",  "OptionsSelect", "DrosselSelect",  "ZorizOptions",       "HorizLeverError",
    "BottomEndError",    "TopEndError",   "MoveRangeError", "SetpointRampButton", "SetpointRampSelect",
    "SetpointDimSelect", "SetPointText",  "SetpointButton", "HelpSelect",         "Image1"};

// A control, or the controls in a group from top to bottom.
QList<QWidget*> Stops(QWidget* w) {
    if (w->focusPolicy() & Qt::TabFocus) return {w};
    QList<QWidget*> inside = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    inside.removeIf([](const QWidget* c) { return !(c->focusPolicy() & Qt::TabFocus); });
    std::stable_sort(inside.begin(), inside.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    return inside;
}

// Greyed captions (the setpoint input of the fieldbus variants, an exercise's locked controls) still
// tell something: a mid grey that keeps 4.9 : 1 against the window, where the style's pale one has 1.6.
// The window's controls follow a style sheet, whose rule for a state takes effect only on controls
// polished already, so it is added once the window shows.
class DisabledCaptions : public QObject {
public:
    explicit DisabledCaptions(QWidget* client) : QObject(client), client_(client) {
        client->window()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == client_->window()) {
            client_->setStyleSheet(
                client_->styleSheet() +
                QStringLiteral(" QRadioButton:disabled, QCheckBox:disabled, QGroupBox:disabled,"
                               " QLabel:disabled { color: #666666; }"));
            deleteLater();
        }
        return false;
    }

private:
    QWidget* client_;
};

} // namespace

void MakeViewAccessible(DeviceView& view) {
    new DisabledCaptions(view.Form());
    QWidget* previous = nullptr;
    for (const char* name : kTabOrder) {
        auto* w = view.findChild<QWidget*>(QString::fromLatin1(name));
        if (!w) continue;
        for (QWidget* stop : Stops(w)) {
            if (previous) QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
    auto* field = view.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
    auto* button = view.findChild<QPushButton*>(QStringLiteral("SetpointButton"));
    if (auto* label = view.findChild<QLabel*>(QStringLiteral("Label13")); label && field)
        label->setBuddy(field);
    // The confirm button shows a glyph only.
    QObject::connect(&view, &DeviceView::FormChanged, button, [&view, button] {
        const QString name =
            QString::fromUtf8(view.Sim().state.Text("Sollwert übernehmen", "Apply setpoint"));
        if (button->accessibleName() == name) return;
        button->setAccessibleName(name);
        button->setToolTip(name);
    });
}

} // namespace vp7
