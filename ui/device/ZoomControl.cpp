// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/ZoomControl.h"

#include "formats/IniFile.h"
#include "sim/files/Settings.h"
#include "ui/device/DeviceWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/qt/Zoom.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>

#include <cmath>
#include <filesystem>
#include <optional>

namespace vp7 {
namespace {

constexpr double kPercent = 100.0;
// The client area as designed.
const QSize kDesignedClient(kClientWidth, kClientHeight);
// Fitted zooms closer than this are the same; the form is not laid out again for a pixel.
constexpr double kFitTolerance = 0.002;
constexpr int kSharpenAfterMs = 250;

double ScreenRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

int FirstStart() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return ViewSettings::kSteps.front();
    return FirstStartPercent(screen->size(), screen->availableGeometry().size(), kDesignedWindow);
}

double ChosenFactor(const ViewSettings& view) {
    if (view.fit) return view.fitPercent / kPercent;
    return (view.percent ? view.percent : FirstStart()) / kPercent;
}

// Message boxes, file dialogs, menus and the small windows' buttons take the application's font.
void ZoomApplicationFont(double factor) {
    const QFont& designed = DesignedApplicationFont();
    QApplication::setFont(factor == 1 ? designed : ZoomedFont(designed, factor));
}

} // namespace

ZoomControl::ZoomControl(DeviceWindow& window) : QObject(&window), window_(window) {
    const MenuBar& menus = window.Menus();
    connect(menus.Action(ActionId::ZoomIn), &QAction::triggered, this, [this] { ZoomIn(); });
    connect(menus.Action(ActionId::ZoomOut), &QAction::triggered, this, [this] { ZoomOut(); });
    connect(menus.Action(ActionId::ActualSize), &QAction::triggered, this,
            [this] { Choose(ViewSettings::kSteps.front()); });
    for (QAction* step : menus.Choices(ActionId::ZoomStep)) {
        const int percent = step->data().toInt();
        connect(step, &QAction::triggered, this, [this, percent] { Choose(percent); });
    }
    connect(menus.Action(ActionId::FitToWindow), &QAction::triggered, this, [this] { ChooseFit(); });

    window.AddSettingsSection([this](const IniFile& ini) { settings_.Read(ini); },
                              [this](IniFile& ini) { settings_.Write(ini); });
    window.installEventFilter(this);
    sharpen_.setSingleShot(true);
    sharpen_.setInterval(kSharpenAfterMs);
    connect(&sharpen_, &QTimer::timeout, this, [this] { Sharpen(); });
}

int ZoomControl::StartingPictureScale(const std::string& programDir, const std::string& userDir,
                                      int screenScale) {
    ViewSettings view;
    for (const std::string& base : SettingsBases(programDir, userDir)) {
        IniFile ini((std::filesystem::path(base) / "Config" / "VP7.ini").string());
        if (base.empty() || !ini.Load()) continue;
        view.Read(ini);
        break;
    }
    return PictureScaleFor(ChosenFactor(view), ScreenRatio(), screenScale);
}

void ZoomControl::Start() {
    if (!settings_.Chosen()) settings_.percent = FirstStart();
    Apply(ChosenFactor(settings_), false); // the window is sized when it is first shown
}

void ZoomControl::Choose(int percent) {
    settings_.fit = false;
    settings_.percent = percent;
    Apply(percent / kPercent, true);
}

void ZoomControl::ChooseFit() {
    settings_.fit = true;
    settings_.fitPercent = static_cast<int>(std::lround(window_.Zoom().Factor() * kPercent));
    Apply(window_.Zoom().Factor(), false);
    FitToWindow();
}

void ZoomControl::ZoomIn() {
    Choose(StepAbove(window_.Zoom().Factor()));
}

void ZoomControl::ZoomOut() {
    Choose(StepBelow(window_.Zoom().Factor()));
}

void ZoomControl::Follow(const ZoomControl& other) {
    if (other.settings_.fit) {
        settings_ = other.settings_;
        Apply(other.window_.Zoom().Factor(), true);
        FitToWindow();
    } else {
        Choose(other.settings_.percent);
    }
}

void ZoomControl::Apply(double factor, bool resizeWindow) {
    window_.ApplyZoom(factor);
    // Fitted, the window may be made as small as half the form; at a step it holds the whole form, as
    // far as the screen allows, and scrolls what the screen cannot show.
    QWidget* client = window_.centralWidget();
    if (settings_.fit) {
        const QSize least = FormZoom(ViewSettings::kFitLeast / kPercent)(kDesignedClient);
        window_.Form()->setMinimumSize(least);
        client->setMinimumSize(least);
        sharpen_.start();
    } else {
        const QSize form = window_.Zoom()(kDesignedClient);
        window_.Form()->setMinimumSize(form);
        QSize least = form;
        if (!window_.Zoom().Designed())
            if (const QScreen* screen = window_.screen())
                least = least.boundedTo(screen->availableGeometry().size() -
                                        (window_.frameGeometry().size() - client->size()));
        client->setMinimumSize(least);
        Sharpen();
    }
    if (resizeWindow) window_.SizeToForm(false);
    const double small = settings_.fit ? StepAtOrBelow(factor) / kPercent : factor;
    if (small != smallZoom_) {
        smallZoom_ = small;
        ZoomApplicationFont(small);
        emit SmallWindowZoomChanged(small);
    }
    ShowChoice();
}

// The largest zoom whose form fits the client area. Laying the form out may change the menu bar's
// height (its font goes by steps), so the fit is taken again; it grows again only within the same step,
// so it never swings back and forth.
void ZoomControl::FitToWindow() {
    fitQueued_ = false;
    if (!settings_.fit) return;
    QWidget* client = window_.centralWidget();
    constexpr int kPasses = 3;
    for (int pass = 0; pass < kPasses; ++pass) {
        const double factor = FitFactor(client->size(), kDesignedClient);
        const double now = window_.Zoom().Factor();
        if (std::abs(factor - now) < kFitTolerance) break;
        if (pass > 0 && factor > now && StepAtOrBelow(factor) != StepAtOrBelow(now)) break;
        Apply(factor, false);
        settings_.fitPercent = static_cast<int>(std::lround(factor * kPercent));
        if (QLayout* layout = window_.layout()) layout->activate();
    }
}

void ZoomControl::Sharpen() {
    window_.SetPictureScale(
        PictureScaleFor(window_.Zoom().Factor(), window_.devicePixelRatioF(), window_.ScreenScale()));
}

// The window's own size changes (the user drags an edge, maximizes) are followed once the layout has
// placed the client area; the client area's changes from laying out the form are not, so nothing loops.
bool ZoomControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Resize && settings_.fit && !fitQueued_) {
        fitQueued_ = true;
        QMetaObject::invokeMethod(this, &ZoomControl::FitToWindow, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void ZoomControl::ShowChoice() {
    const MenuBar& menus = window_.Menus();
    for (QAction* step : menus.Choices(ActionId::ZoomStep))
        step->setChecked(!settings_.fit && settings_.percent == step->data().toInt());
    menus.Action(ActionId::FitToWindow)->setChecked(settings_.fit);
    const double factor = window_.Zoom().Factor();
    menus.Action(ActionId::ZoomIn)
        ->setEnabled(factor * kPercent < ViewSettings::kSteps.back() - kFitTolerance);
    menus.Action(ActionId::ZoomOut)
        ->setEnabled(factor * kPercent > ViewSettings::kSteps.front() + kFitTolerance);
}

} // namespace vp7
