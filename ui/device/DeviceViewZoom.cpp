// SPDX-License-Identifier: GPL-3.0-or-later
// The device view at a zoom: the form's controls, fonts and pictures scaled from their designed places.
#include "ui/device/DeviceView.h"

#include "model/ClosedRows.h"
#include "session/Session.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/PictureWidget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <set>
#include <utility>

namespace vp7 {
namespace {

constexpr QSize kSetpointIcon(32, 22);
constexpr const char* kGlyphZoom = "glyphZoom"; // the zoom the setpoint glyph was drawn for
// A radio group's items below its caption, each row at least as high as a radio button.
constexpr int kItemLeft = 8, kItemTop = 16, kItemHeight = 17, kGroupFrameHeight = 22;

QRect RadioItemPlace(const Control& group, int item) {
    const int rows = std::max<int>(1, static_cast<int>(group.items.size()));
    const int rowHeight = std::max(kItemHeight, (group.height - kGroupFrameHeight) / rows);
    return {kItemLeft, kItemTop + item * rowHeight, group.width - 2 * kItemLeft, kItemHeight};
}

} // namespace

// The controls' fonts are those they were polished with at 100 % (check boxes and radio buttons under the
// client area's style take the application's), scaled. Until the first zoom nothing is set, so the
// view stays exactly as it always was.
void DeviceView::ZoomFonts() {
    QWidget* client = form_;
    if (designedFonts_.empty()) {
        if (zoom_.Designed()) return;
        client->ensurePolished();
        // A window made while the program is zoomed (a replay's, an exercise's): the controls that
        // took the application's font took it zoomed already, and would be zoomed twice.
        const QFont application = QApplication::font();
        for (QWidget* w : client->findChildren<QWidget*>())
            designedFonts_.emplace_back(w, w->font() == application ? DesignedApplicationFont() : w->font());
    }
    for (const auto& [widget, designed] : designedFonts_)
        if (widget) widget->setFont(ZoomedFont(designed, zoom_.Factor()));
}

void DeviceView::LayOutForm() {
    QWidget* client = form_;
    ZoomFonts();
    // Set again only when it changes: the widgets are polished anew each time.
    if (const QString sheet = FormStyle(zoom_, *style()); client->styleSheet() != sheet)
        client->setStyleSheet(sheet);
    const ClosedRows closed = RowsClosedUp(hidden_);
    for (const Control* c : Sim().form.All()) {
        if (c->kind == ControlKind::MenuItem) continue;
        QWidget* w = widgets_.at(c->name);
        const int up = closed.Up(c->name);
        if (c->width > 0)
            w->setGeometry(zoom_(QRect(c->left, c->top - up, c->width, c->height - closed.Shorter(c->name))));
        else
            w->move(zoom_(QPoint(c->left, c->top - up)));
        switch (c->kind) {
        case ControlKind::RadioGroup: {
            const auto items = w->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < items.size(); ++i)
                items[i]->setGeometry(zoom_(RadioItemPlace(*c, i)));
            break;
        }
        case ControlKind::Button:
            if (c->name == "SetpointButton" && w->property(kGlyphZoom).toDouble() != zoom_.Factor()) {
                static_cast<QPushButton*>(w)->setIcon(SetpointGlyph(zoom_.Factor()));
                static_cast<QPushButton*>(w)->setIconSize(zoom_(kSetpointIcon));
                w->setProperty(kGlyphZoom, zoom_.Factor());
            }
            break;
        case ControlKind::Shape:
            if (const QString circle = LatchCircleStyle(zoom_); w->styleSheet() != circle)
                w->setStyleSheet(circle);
            break;
        default:
            break;
        }
    }
    picture_->SetZoom(zoom_.Factor());
    splashView_->SetZoom(zoom_.Factor());
}

void DeviceView::ApplyZoom(double factor) {
    zoom_ = FormZoom(factor);
    LayOutForm();
    SyncFromForm(); // the help labels' places and widths
}

} // namespace vp7
