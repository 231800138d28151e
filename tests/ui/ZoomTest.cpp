// SPDX-License-Identifier: GPL-3.0-or-later
// The window at every zoom: the pointer reaches what is shown under it, the picture is drawn at the
// scale the zoom needs, and the choice survives a restart from an older settings file.
#include "ShownApp.h"
#include "ui/device/PictureWidget.h"
#include "ui/device/ZoomControl.h"
#include "ui/training/TrendWindow.h"

#include "formats/IniFile.h"
#include "model/PictureLayout.h"
#include "sim/operation/ModeLogic.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace vp7;

namespace {

using test::ShownApp;

// The windows of a program folder with `settings` as its settings file (none: the file it has).
AppWindows StartIn(const QTemporaryDir& dir, VirtualClock& clock, const std::string& settings = {}) {
    QDir(dir.path()).mkpath(QStringLiteral("Config"));
    if (!settings.empty()) test::WriteFile(dir.filePath(QStringLiteral("Config/VP7.ini")), settings);
    AppWindows windows = CreateWindows(dir.path().toStdString(), 1, &clock);
    windows.main->show();
    clock.Advance(100);
    windows.main->AfterEvent();
    return windows;
}

void Send(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), {});
    QCoreApplication::sendEvent(widget, &event);
}

// A press and its release at `at`, and the window's work after the event.
void Click(MainWindow& main, QWidget* widget, QPointF at, Qt::MouseButton button) {
    Send(widget, QEvent::MouseButtonPress, at, button);
    Send(widget, QEvent::MouseButtonRelease, at, button);
    main.AfterEvent();
}

// The screen pixel in the middle of where the picture shows its point (x, y).
QPoint Shown(const PictureWidget& picture, int x, int y) {
    return {static_cast<int>((x + 0.5) * picture.width() / layout::PictureSize.width),
            static_cast<int>((y + 0.5) * picture.height() / layout::PictureSize.height)};
}

} // namespace

// At every step the picture is drawn at the next integer scale and only ever reduced: shown one to one
// at 200 and 300 %, reduced from twice its size at 125 and 150 %, where the display's flat unlit colour
// stays exactly that colour; back at 100 % it is drawn at the screen's own scale again, as always. The
// pointer over a key's first and last pixel is on the key, one pixel beside it is not; a click on the
// mode key switches the mode, and the red circle of a latched key, shown over it at the zoom, frees the
// key again, and the key latches again on the next right click.
TEST(Zoom, AtEveryStepThePictureHasItsScaleAndThePointerReachesWhatIsShown) {
    ShownApp app;
    app.Run(100);
    Simulator& sim = app.main.Sim();
    const Picture& image = sim.image1;
    PictureWidget& picture = *app.main.Picture();
    const struct { int percent, scale; } steps[] = {{125, 2}, {150, 2}, {200, 2}, {300, 3}, {100, 1}};
    const layout::Point unlit{layout::LcdUpperLine.left + 3, layout::LcdUpperLine.top + 2};
    for (const auto& [percent, scale] : steps) {
        SCOPED_TRACE(percent);
        app.main.View().Choose(percent);
        app.main.AfterEvent();
        EXPECT_EQ(picture.width(), std::lround(layout::PictureSize.width * percent / 100.0));
        EXPECT_EQ(image.Scale(), scale);
        const QImage shown = picture.grab().toImage();
        EXPECT_EQ(shown.pixel(Shown(picture, unlit.x, unlit.y)) & 0xFFFFFF, LcdUnlitColor);
        if (percent == 100 * scale) {
            for (const layout::Point p : layout::KeyCentres)
                EXPECT_EQ(shown.pixel(p.x * scale, p.y * scale) & 0xFFFFFF,
                          image.Bits()[p.y * scale * image.DeviceWidth() + p.x * scale]);
        }
        for (const Rect& key : layout::KeyAreas) {
            const std::pair<int, int> points[] = {{key.left, key.top},
                                                  {key.right - 1, key.bottom - 1},
                                                  {key.left - 1, key.top},
                                                  {key.left, key.bottom}};
            for (auto [x, y] : points) {
                Send(&picture, QEvent::MouseMove, Shown(picture, x, y), Qt::NoButton);
                EXPECT_EQ(std::pair(sim.MouseX, sim.MouseY), std::pair(x, y));
            }
        }
        const Mode before = sim.state.Mode;
        const layout::Point mode = layout::KeyCentres[0];
        Click(app.main, &picture, Shown(picture, mode.x, mode.y), Qt::LeftButton);
        EXPECT_NE(sim.state.Mode, before);

        Click(app.main, &picture, Shown(picture, mode.x, mode.y), Qt::RightButton);
        auto* circle = app.main.findChild<QWidget*>(QStringLiteral("StaticUmschalt"));
        ASSERT_TRUE(circle->isVisible());
        const QPoint centre = circle->rect().center();
        const Rect& latch = layout::LatchCircles[0];
        EXPECT_TRUE(circle->geometry().contains(picture.mapToParent(
            Shown(picture, (latch.left + latch.right) / 2, (latch.top + latch.bottom) / 2))));
        Click(app.main, circle, centre, Qt::RightButton);
        EXPECT_EQ(sim.modes.LatchUmschalt, 0);
        // The release the hidden circle lost does not swallow the key's next right click.
        Click(app.main, &picture, Shown(picture, mode.x, mode.y), Qt::RightButton);
        EXPECT_EQ(sim.modes.LatchUmschalt, 1);
        Click(app.main, circle, centre, Qt::RightButton);
        EXPECT_EQ(sim.modes.LatchUmschalt, 0);
    }
}

// An older program's settings file has no [View]: the first start picks the zoom, the choice is written
// into a section of its own beside everything that was there, and the next start opens at it.
TEST(Zoom, TheChoiceIsKeptBesideAnOlderSettingsFile) {
    QTemporaryDir dir;
    VirtualClock clock;
    const std::string older =
        "[Config]\r\nCheckScreen=0\r\nSprache=1\r\n[Trend]\r\nSpan=600\r\n[Own]\r\nKept=yes\r\n";
    {
        AppWindows windows = StartIn(dir, clock, older);
        EXPECT_EQ(windows.main->Zoom().Factor(), 1) << "the small screen of the tests";
        windows.main->View().Choose(150);
        windows.main->close();
    }
    IniFile written(dir.filePath(QStringLiteral("Config/VP7.ini")).toStdString());
    ASSERT_TRUE(written.Load());
    EXPECT_EQ(written.ReadString("View", "Zoom", ""), "150");
    EXPECT_EQ(written.ReadString("Own", "Kept", ""), "yes");
    EXPECT_EQ(written.ReadString("Trend", "Span", ""), "600");
    {
        VirtualClock again;
        AppWindows windows = StartIn(dir, again);
        EXPECT_EQ(windows.main->Zoom().Factor(), 1.5);
        EXPECT_EQ(windows.main->PictureScale(), 2) << "rendered at that scale from the start";
        windows.main->View().ChooseFit();
        EXPECT_TRUE(windows.main->close());
    }
    ASSERT_TRUE(written.Load());
    EXPECT_EQ(written.ReadString("View", "Zoom", ""), "Fit");
}

// Fitted, the form takes the largest zoom at which it fits the client area, within half and three
// times its size; Ctrl++ and Ctrl+- go on from there to the next step.
TEST(Zoom, FitToWindowFollowsTheWindowsSize) {
    ShownApp app;
    app.Run(100);
    QWidget* client = app.main.centralWidget();
    app.main.View().ChooseFit();
    const QSize form(kClientWidth, kClientHeight);
    const struct {
        QSize window;
        double least, most; // the limits of fitting
    } cases[] = {{form * 2, 0, 9},          {QSize(form.width() * 3, form.height()), 0, 9},
                 {QSize(1400, 1100), 0, 9}, {form / 4, 0.5, 0.5},
                 {form * 4, 3, 3},          {QSize(900, 700), 0, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.width() << "x" << c.window.height());
        app.main.resize(c.window);
        QCoreApplication::processEvents();
        const double zoom = app.main.Zoom().Factor();
        EXPECT_GE(zoom, std::max(c.least, 0.5) - 0.01);
        EXPECT_LE(zoom, std::min(c.most, 3.0) + 0.01);
        const QSize shown = app.main.Zoom()(form), room = client->size();
        if (zoom <= 0.51 || zoom >= 2.99) continue;
        EXPECT_TRUE(shown.width() <= room.width() + 1 && shown.height() <= room.height() + 1) << "fits";
        EXPECT_TRUE(shown.width() >= room.width() - 2 || shown.height() >= room.height() - 2)
            << "no larger fits";
    }
    app.main.resize(QSize(1400, 1100));
    QCoreApplication::processEvents();
    QTest::keyClick(&app.main, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(app.main.Zoom().Factor(), 1.5);
    QTest::keyClick(&app.main, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(app.main.Zoom().Factor(), 1.25);
    QTest::keyClick(&app.main, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(app.main.Zoom().Factor(), 1);
}

// A window is shown where it was kept when the screens show it whole; else moved onto the screen it
// overlaps most (or lies nearest to), no larger than that screen. The trend window kept far outside
// the offscreen screen opens on it.
TEST(Zoom, AWindowKeptOffTheScreensOpensOnOne) {
    const QList<QRect> twoScreens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        QRect kept, shown;
    } cases[] = {
        {{100, 100, 640, 360}, {100, 100, 640, 360}},    // whole on the first
        {{1800, 100, 640, 360}, {1800, 100, 640, 360}},  // whole across both
        {{1800, 900, 640, 360}, {1920, 664, 640, 360}},  // below both: onto the one it overlaps most
        {{5000, -3000, 640, 360}, {2560, 0, 640, 360}},  // far away: onto the nearest
        {{-100, 50, 4000, 3000}, {0, 0, 1920, 1080}},    // larger than any screen
        {{2500, 1000, 640, 360}, {2500, 664, 640, 360}}, // mostly on the second: moved up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kept.x() << "," << c.kept.y());
        EXPECT_EQ(KeptOnScreen(c.kept, twoScreens), c.shown);
    }

    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows windows = StartIn(
        dir, clock, "[Config]\r\nCheckScreen=0\r\n[Trend]\r\nLeft=9000\r\nTop=-5000\r\nVisible=1\r\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(windows.trend->geometry())) << "opened on the screen";
}

// A first start picks 200 % on a screen wider than 2000 points, less where the window would not fit
// its free area at that zoom, and 100 % on smaller screens.
TEST(Zoom, AFirstStartPicksTheZoomTheScreenSuggests) {
    const QSize window(1025, 768);
    const struct {
        QSize screen, available;
        int percent;
    } cases[] = {{{3840, 2160}, {3840, 2120}, 200},
                 {{2560, 1440}, {2560, 1400}, 150},
                 {{2048, 1152}, {2048, 1100}, 125},
                 {{1920, 1080}, {1920, 1040}, 100},
                 {{1024, 768}, {1024, 740}, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(FirstStartPercent(c.screen, c.available, window), c.percent) << c.screen.width();
}

// A window made while the program is zoomed (a replay's, an exercise's) and following its zoom shows its
// controls as large as the program's own, not zoomed twice.
TEST(Zoom, AWindowMadeWhileZoomedIsZoomedOnce) {
    ShownApp app;
    app.main.View().Choose(200);
    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows later = CreateWindows(test::ProgramFolder(dir).toStdString(), 1, &clock);
    later.main->View().Follow(app.main.View());
    for (const char* name : {"FrictionSelect", "DrosselSelect", "SetPointText"}) {
        const auto* own = app.main.findChild<QWidget*>(QString::fromLatin1(name));
        const auto* theirs = later.main->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(own && theirs) << name;
        EXPECT_EQ(theirs->font(), own->font()) << name;
    }
    app.main.View().Choose(100);
}
