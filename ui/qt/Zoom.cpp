// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Zoom.h"

#include "session/ViewSettings.h"

#include <QApplication>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vp7 {
namespace {

constexpr double kPercent = 100.0;
// Zooms that differ by less than this are the same step (a fitted zoom that just reaches 150 %).
constexpr double kSameStep = 1e-6;

int Scaled(int v, double factor) {
    return static_cast<int>(std::lround(v * factor));
}

} // namespace

int FormZoom::operator()(int length) const {
    const int scaled = Scaled(length, factor_);
    return length > 0 ? std::max(1, scaled) : scaled;
}

QRect FormZoom::operator()(const QRect& d) const {
    const int left = Scaled(d.left(), factor_), top = Scaled(d.top(), factor_);
    return {left, top, Scaled(d.left() + d.width(), factor_) - left,
            Scaled(d.top() + d.height(), factor_) - top};
}

QPoint FormZoom::operator()(const QPoint& d) const {
    return {Scaled(d.x(), factor_), Scaled(d.y(), factor_)};
}

QSize FormZoom::operator()(const QSize& d) const {
    return {(*this)(d.width()), (*this)(d.height())};
}

QPoint FormZoom::Unzoomed(const QPointF& zoomed) const {
    return {static_cast<int>(std::floor(zoomed.x() / factor_ + kSameStep)),
            static_cast<int>(std::floor(zoomed.y() / factor_ + kSameStep))};
}

int StepAbove(double factor) {
    for (int step : ViewSettings::kSteps)
        if (step > factor * kPercent + kSameStep) return step;
    return ViewSettings::kSteps.back();
}

int StepBelow(double factor) {
    for (auto it = ViewSettings::kSteps.rbegin(); it != ViewSettings::kSteps.rend(); ++it)
        if (*it < factor * kPercent - kSameStep) return *it;
    return ViewSettings::kSteps.front();
}

int StepAtOrBelow(double factor) {
    for (auto it = ViewSettings::kSteps.rbegin(); it != ViewSettings::kSteps.rend(); ++it)
        if (*it <= factor * kPercent + kSameStep) return *it;
    return ViewSettings::kSteps.front();
}

double FitFactor(QSize available, QSize designed) {
    if (designed.isEmpty()) return 1;
    const double factor = std::min(static_cast<double>(available.width()) / designed.width(),
                                   static_cast<double>(available.height()) / designed.height());
    return std::clamp(factor, ViewSettings::kFitLeast / kPercent, ViewSettings::kFitMost / kPercent);
}

int PictureScaleFor(double zoom, double devicePixelRatio, int least) {
    return std::max(least, static_cast<int>(std::ceil(zoom * devicePixelRatio - kSameStep)));
}

int FirstStartPercent(QSize screen, QSize available, QSize windowAtDesign) {
    constexpr int kWideScreen = 2000, kWidePercent = 200;
    if (screen.width() <= kWideScreen) return ViewSettings::kSteps.front();
    for (auto it = ViewSettings::kSteps.rbegin(); it != ViewSettings::kSteps.rend(); ++it) {
        const QSize zoomed = FormZoom(*it / kPercent)(windowAtDesign);
        if (*it <= kWidePercent && zoomed.width() <= available.width() &&
            zoomed.height() <= available.height())
            return *it;
    }
    return ViewSettings::kSteps.front();
}

QRect KeptOnScreen(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return frame;
    QRegion shown;
    for (const QRect& s : screens)
        shown += s;
    if (QRegion(frame).subtracted(shown).isEmpty()) return frame; // whole, perhaps across two screens
    const auto area = [](const QRect& r) { return static_cast<long long>(r.width()) * r.height(); };
    const auto distance = [&](const QRect& s) {
        const QPoint d = s.center() - frame.center();
        return static_cast<long long>(d.x()) * d.x() + static_cast<long long>(d.y()) * d.y();
    };
    const QRect* best = &screens.front();
    for (const QRect& s : screens) {
        const long long overlap = area(s.intersected(frame)), bestOverlap = area(best->intersected(frame));
        if (overlap > bestOverlap || (overlap == bestOverlap && distance(s) < distance(*best))) best = &s;
    }
    QRect placed(frame.topLeft(), frame.size().boundedTo(best->size()));
    placed.moveLeft(std::clamp(placed.left(), best->left(), best->left() + best->width() - placed.width()));
    placed.moveTop(std::clamp(placed.top(), best->top(), best->top() + best->height() - placed.height()));
    return placed;
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

void KeepOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect placed = KeptOnScreen(frame, AvailableScreenAreas());
    if (placed == frame) return;
    window.resize(window.size() - (frame.size() - placed.size()));
    window.move(placed.topLeft());
}

// Zoomed, the boxes and circles of check boxes and radio buttons grow with their text.
QString FormStyle(const FormZoom& zoom, const QStyle& style) {
    QString sheet =
        QStringLiteral("QGroupBox { border: %1px solid #a0a0a0; border-radius: %2px; margin-top: %3px; }"
                       "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: "
                       "%4px; padding: 0 %5px; }")
            .arg(zoom(1))
            .arg(zoom(2))
            .arg(zoom(6))
            .arg(zoom(8))
            .arg(zoom(2));
    if (zoom.Designed()) return sheet;
    return sheet + QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }"
                                  "QRadioButton::indicator { width: %2px; height: %2px; }")
                       .arg(zoom(style.pixelMetric(QStyle::PM_IndicatorWidth)))
                       .arg(zoom(style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)));
}

QFont ZoomedFont(const QFont& designed, double factor) {
    QFont f = designed;
    if (designed.pixelSize() > 0)
        f.setPixelSize(FormZoom(factor)(designed.pixelSize()));
    else
        f.setPointSizeF(designed.pointSizeF() * factor);
    return f;
}

QString LatchCircleStyle(const FormZoom& zoom) {
    constexpr int kRadius = 8;
    return QStringLiteral("background-color: red; border-radius: %1px;").arg(zoom(kRadius));
}

void ZoomedChildren::Apply(QWidget& window, double factor) {
    if (designed_.empty()) {
        if (factor == 1) return; // as designed until the first zoom
        window.ensurePolished();
        for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->isWindow()) designed_.push_back({w, w->geometry(), w->font()});
    }
    const FormZoom zoom(factor);
    for (const Designed& d : designed_) {
        if (!d.widget) continue;
        d.widget->setFont(ZoomedFont(d.font, factor));
        d.widget->setGeometry(zoom(d.place));
    }
}

const QFont& DesignedApplicationFont() {
    static const QFont designed = QApplication::font(); // taken before the first zoom changes it
    return designed;
}

int PictureScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    return std::max(1, static_cast<int>(std::ceil(ratio - 1e-6)));
}

} // namespace vp7
