// SPDX-License-Identifier: GPL-3.0-or-later
// The widgets follow the form state: only the controls that changed since the last sync are touched, so
// a monitoring cycle that changed nothing visible costs a comparison.
#include "ui/device/DeviceView.h"

#include "session/Session.h"
#include "ui/device/PictureWidget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QString DeviceView::DeviceTitle() const {
    const std::string& title = Sim().form.title;
    return Q(title.empty() ? std::string("KELDAR-VP7 Nachbildung") : title);
}

void DeviceView::SyncFromForm() {
    // What lies outside the form (an exercise's hidden controls, the zoom) changed: all of it again.
    FormChanges::Taken all = changes_.Take(Sim().form);
    all.controls.assign(Sim().form.All().begin(), Sim().form.All().end());
    all.window = all.smallWindows = true;
    SyncChanges(all);
}

void DeviceView::SyncChanges(const FormChanges::Taken& changed) {
    if (!changed.Any()) return;
    ++syncCount_;
    const FormState& form = Sim().form;
    if (changed.window) window()->setWindowTitle(DeviceTitle());
    // The menu items are the window's menus'.
    if (showMenus_ && !changed.controls.empty()) showMenus_(changed);
    for (const Control* c : changed.controls) {
        if (c->kind == ControlKind::MenuItem) continue;
        QWidget* w = widgets_.at(c->name);
        const QSignalBlocker block(w);
        switch (c->kind) {
        case ControlKind::CheckBox:
            static_cast<QCheckBox*>(w)->setText(Q(c->caption));
            static_cast<QCheckBox*>(w)->setChecked(c->checked);
            break;
        case ControlKind::RadioButton:
            static_cast<QRadioButton*>(w)->setText(Q(c->caption));
            static_cast<QRadioButton*>(w)->setChecked(c->checked);
            break;
        case ControlKind::RadioGroup: {
            auto* box = static_cast<QGroupBox*>(w);
            box->setTitle(Q(c->caption));
            const auto buttons = box->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < buttons.size(); ++i) {
                const QSignalBlocker b(buttons[i]);
                if (i < static_cast<int>(c->items.size())) buttons[i]->setText(Q(c->items[i]));
                buttons[i]->setChecked(i == c->itemIndex);
            }
            break;
        }
        case ControlKind::Group:
            static_cast<QGroupBox*>(w)->setTitle(Q(c->caption));
            break;
        case ControlKind::Edit:
            if (static_cast<QLineEdit*>(w)->text() != Q(c->text))
                static_cast<QLineEdit*>(w)->setText(Q(c->text));
            break;
        case ControlKind::Button:
            static_cast<QPushButton*>(w)->setText(Q(c->caption));
            break;
        case ControlKind::Label: {
            auto* l = static_cast<QLabel*>(w);
            l->setText(Q(c->text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            l->adjustSize();
            // The width the device placed it by; zoomed, the font may need a pixel more.
            if (c->width > 0)
                l->resize(std::max(zoom_(c->width), zoom_.Designed() ? 0 : l->width()), l->height());
            l->move(zoom_(QPoint(c->left, c->top)));
            break;
        }
        case ControlKind::StaticText:
            static_cast<QLabel*>(w)->setText(Q(c->caption));
            break;
        default:
            break;
        }
        w->setVisible(c->visible && !hidden_.contains(c->name));
        w->setEnabled(c->enabled && !locked_.contains(c->name) && !heldForClient_.contains(c->name));
    }
    if (!changed.controls.empty()) {
        // Stacking: the help labels and the latch circles lie over the device picture, the splash over
        // all.
        for (const Control* c : form.All())
            if ((c->kind == ControlKind::Label || c->kind == ControlKind::Shape) && c->visible)
                widgets_.at(c->name)->raise();
        if (form.Image2.visible) widgets_.at("Image2")->raise();
    }
    if (changed.window) {
        static const Qt::CursorShape shapes[] = {Qt::ArrowCursor, Qt::CrossCursor, Qt::PointingHandCursor};
        picture_->setCursor(shapes[static_cast<int>(form.cursor)]);
    }
    picture_->RepaintChanged();
    emit FormChanged();
}

} // namespace vp7
