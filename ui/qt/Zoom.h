// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom of the main window and its small windows. The form was laid out in points at 100 %; a zoom
// scales every place, size and font of it. Plain arithmetic on Qt's geometry types, so the rules for
// placing and fitting can be tested without windows.
#include <QFont>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QStyle;
class QWidget;

namespace vp7 {

// The main window's outer size (with its frame) as designed, at 100 %.
inline constexpr QSize kDesignedWindow(1025, 768);

class FormZoom {
public:
    FormZoom() = default;
    explicit FormZoom(double factor) : factor_(factor) {}
    double Factor() const { return factor_; }
    // At 100 % everything stays exactly as designed.
    bool Designed() const { return factor_ == 1; }

    // A length, at least one point where the designed one was.
    int operator()(int length) const;
    // The edges rounded, not the sizes: controls that meet at 100 % meet at every zoom.
    QRect operator()(const QRect& designed) const;
    QPoint operator()(const QPoint& designed) const;
    QSize operator()(const QSize& designed) const;
    // A point of the zoomed form in the form's own points, rounded down: each zoomed pixel lies in the
    // point it shows, so the pointer areas scale with the picture.
    QPoint Unzoomed(const QPointF& zoomed) const;

private:
    double factor_ = 1;
};

// A window laid out by hand in points: the places and fonts of its children as designed, taken the first
// time it is zoomed, and each zoom scaled from them (never from an earlier zoom, so nothing drifts).
class ZoomedChildren {
public:
    void Apply(QWidget& window, double factor);

private:
    struct Designed {
        QPointer<QWidget> widget;
        QRect place;
        QFont font;
    };
    std::vector<Designed> designed_;
};

// Ctrl++ / Ctrl+-: the View menu's next step above or below `factor` (a zoom fitted to the window lies
// between steps), or `factor`'s own step at either end.
int StepAbove(double factor);
int StepBelow(double factor);
// The step at or below `factor`, 100 % at the least: the small windows' zoom while the form is fitted
// to the main window, so they do not change size with every drag of its edge.
int StepAtOrBelow(double factor);
// "Fit to window": the largest zoom at which `designed` fits into `available`, within the fit's limits.
double FitFactor(QSize available, QSize designed);
// The integer scale the device picture is drawn at: large enough that it is only ever reduced to the
// zoomed size on a screen of `devicePixelRatio`, and `least` (the screen's own) at 100 % and below.
int PictureScaleFor(double zoom, double devicePixelRatio, int least);
// The zoom a first start picks: 200 % on a screen wider than 2000 points, or the largest step below it at
// which `windowAtDesign` still fits the screen's free area; 100 % on smaller screens.
int FirstStartPercent(QSize screen, QSize available, QSize windowAtDesign);
// Where a window with the frame `frame` is shown: as it is when the screens show it whole; else moved
// onto the screen it overlaps most (or lies nearest to), no larger than that screen's free area.
QRect KeptOnScreen(const QRect& frame, const QList<QRect>& screens);
// The free area of every screen (without panels and docks), for KeptOnScreen.
QList<QRect> AvailableScreenAreas();
// The scale of the device picture on the primary screen: its device pixel ratio rounded up, at least 1.
int PictureScale();
// The style of the main window's client area at a zoom: group captions on the frame's top line, as the
// window was designed, so the children's places inside their groups stay as laid out.
QString FormStyle(const FormZoom& zoom, const QStyle& style);
// A latched key's red circle.
QString LatchCircleStyle(const FormZoom& zoom);
// `designed` `factor` times as large, in pixels or in points as it was given.
QFont ZoomedFont(const QFont& designed, double factor);
// The application's font as it was before any zoom.
const QFont& DesignedApplicationFont();
// A window just shown (its frame known) moved, and made smaller if need be, to lie whole on a screen.
void KeepOnScreen(QWidget& window);

} // namespace vp7
