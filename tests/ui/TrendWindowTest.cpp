// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/TrendWindow.h"
#include "ShownApp.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/device/MenuBar.h"
#include "ui/device/ZoomControl.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

void EnterSetpoint(test::ShownApp& app, const char* text) {
    auto* entry = app.main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
    entry->clear();
    QTest::keyClicks(entry, QString::fromLatin1(text));
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

// Opened from the menu, the window plots two strokes with their events, the cursors measure the
// stroke, and the export writes the CSV and the picture; a folder that cannot be written is told. At rest
// the samples only repeat the last one drawn: the window leaves them for its slow redraw, and draws again
// as soon as something moves.
TEST(TrendWindow, PlotsMeasuresAndExports) {
    test::ShownApp app;
    app.Run(100);
    app.main.Menus().Action(ActionId::Trend)->trigger();
    TrendWindow& window = *app.windows.trend;
    ASSERT_TRUE(window.isVisible());
    QCustomPlot& plot = *window.Plot();
    const auto drawnAfter = [&](int simulatedMs) {
        app.Run(simulatedMs);
        test::RunEvents(400);
        return plot.graph(0)->dataCount();
    };
    const int settled = drawnAfter(3000);
    ASSERT_GT(settled, 0);
    EXPECT_EQ(drawnAfter(3000), settled) << "three monitoring samples that repeat the last one";
    EnterSetpoint(app, "100");
    EXPECT_GT(drawnAfter(500), settled + 3) << "a stroke is drawn at once, the repeats with it";
    app.Run(2500);
    EnterSetpoint(app, "0");
    app.Run(3000);
    // The redraw comes on the window's own timer, at most ten times a second.
    QElapsedTimer waited;
    waited.start();
    while (plot.graph(0)->dataCount() <= 80 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_GT(plot.graph(0)->dataCount(), 80) << "two strokes at the motion tick's rate";
    EXPECT_EQ(plot.graph(4)->dataCount(), 2) << "one mark a setpoint entry";

    window.SetCursor(0, 0.1);
    window.SetCursor(1, 2.05);
    EXPECT_DOUBLE_EQ(*window.CursorTime(1) - *window.CursorTime(0), 1.95);
    const auto* readout = window.findChild<QLabel*>(QStringLiteral("Readout"));
    EXPECT_TRUE(readout->text().contains(QStringLiteral("1.950"))) << readout->text().toStdString();

    const QString csv = app.dir.filePath(QStringLiteral("Data/trend.csv"));
    const QString png = app.dir.filePath(QStringLiteral("Data/trend.png"));
    ASSERT_TRUE(window.ExportTo(csv));
    ASSERT_TRUE(window.ExportTo(png));
    EXPECT_TRUE(test::Bytes(csv).startsWith("time_s,setpoint_pct,"));
    EXPECT_EQ(QImage(png).size(), plot.size() + QSize(0, readout->height())) << "the cursors' table below";

    QString told;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    EXPECT_FALSE(window.ExportTo(QStringLiteral("/proc/vp7/trend.csv")));
    EXPECT_TRUE(told.contains(QStringLiteral("/proc/vp7/trend.csv"))) << told.toStdString();
    EXPECT_GT(plot.graph(0)->dataCount(), 80) << "the recording stays";
}

// The window's place and span come back at the next start; the menu item follows the window.
TEST(TrendWindow, ComesBackWhereItWasLeft) {
    test::ShownApp app;
    app.Run(100);
    app.main.Menus().Action(ActionId::Trend)->trigger();
    app.windows.trend->setGeometry(70, 90, 640, 360);
    app.windows.trend->findChild<QComboBox*>(QStringLiteral("Span"))->setCurrentIndex(2);
    ASSERT_TRUE(app.main.close());

    VirtualClock clock;
    AppWindows again = CreateWindows(app.dir.path().toStdString(), 1, &clock);
    EXPECT_TRUE(again.main->Menus().Action(ActionId::Trend)->isChecked());
    EXPECT_EQ(again.trend->size(), QSize(640, 360));
    EXPECT_EQ(again.trend->findChild<QComboBox*>(QStringLiteral("Span"))->currentData().toInt(), 600);
    again.trend->close();
    EXPECT_FALSE(again.main->Menus().Action(ActionId::Trend)->isChecked());
    // The size is kept at 100 %: every zoom scales it, as it scales the other windows.
    again.main->View().Choose(200);
    EXPECT_EQ(again.trend->size(), QSize(1280, 720));
    again.main->View().Choose(100);
    EXPECT_EQ(again.trend->size(), QSize(640, 360));
}

// While an exercise runs, the user's trend steps aside with its window and comes back after it. The
// exercise's and a replay's trends are saved into the user's data folder, not their scratch folders,
// and a replay's opens beside the user's.
TEST(TrendWindow, OtherDevicesTrendsKeepToTheUsersFolderAndPlace) {
    test::ShownApp app;
    app.main.Menus().Action(ActionId::Trend)->trigger();
    const TrendWindow& own = *app.windows.trend;
    const QString data = QString::fromStdString(app.main.Sim().settings.DataDir());
    app.main.RunExercise(test::StartExercise(app.dir.filePath(QStringLiteral("e.vp7x")),
                                             "title \"Hand\" \"Manual\"\nini Config CheckScreen 0\nstart\n"
                                             "check Mode = 1 \"Hand\" \"Manual\"\n",
                                             app.dir));
    EXPECT_FALSE(own.isVisible());
    EXPECT_EQ(app.main.CurrentExercise()->Window().findChild<TrendWindow*>()->SaveFolder(), app.dir.path());
    app.main.EndExercise();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the exercise's end
    EXPECT_TRUE(own.isVisible());

    const QString recording = app.dir.filePath(QStringLiteral("r.vp7s"));
    ASSERT_TRUE(test::WriteFile(recording, "ini Config CheckScreen 0\nstart\nwait 100\n"));
    app.main.PlayRecording(recording);
    ASSERT_TRUE(app.main.CurrentPlayer());
    const auto* played = app.main.CurrentPlayer()->Window().findChild<TrendWindow*>();
    EXPECT_EQ(played->SaveFolder(), data);
    const TrendSettings& place = app.main.TrendPlace();
    EXPECT_EQ(played->pos(), QPoint(place.left, place.top) + QPoint(40, 40));
}
