// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/MainWindow.h"
#include "ShownApp.h"
#include "ui/app/Application.h"
#include "ui/artwork/SplashPicture.h"
#include "ui/device/PictureWidget.h"

#include "model/PictureLayout.h"
#include "sim/display/Splash.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamTableView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

using test::ProgramFolder;
using test::ShownApp;

QPoint ToQt(layout::Point p) {
    return {p.x, p.y};
}
const QSize kPictureSize(layout::PictureSize.width, layout::PictureSize.height);
} // namespace

TEST(MainWindow, ShowsTheDevicePictureAndFollowsTheSimulator) {
    ShownApp app;
    MainWindow& main = app.main;

    auto* picture = main.findChild<PictureWidget*>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), kPictureSize);
    EXPECT_EQ(picture->mapTo(main.Form(), QPoint(0, 0)), ToQt(layout::PictureInWindow));

    EXPECT_FALSE(main.Sim().FormCloseQuery());
    app.Run(100); // the start-up tick is due 100 ms after creation
    EXPECT_TRUE(main.Sim().FormCloseQuery());

    auto* entry = main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
    ASSERT_NE(entry, nullptr);
    entry->clear();
    QTest::keyClicks(entry, QStringLiteral("50"));
    QTest::keyClick(entry, Qt::Key_Return);
    app.Run(1500); // 20 motion ticks of 50 ms and the arrival, with time to spare
    EXPECT_DOUBLE_EQ(main.Sim().state.Istwert, 50);
    const long syncs = main.SyncCount();
    app.Run(5000);
    EXPECT_EQ(main.SyncCount(), syncs) << "monitoring cycles that change nothing touch no widget";
    // The picture shows the simulator's pixels as they change.
    const QImage moved = picture->grab().toImage();
    EXPECT_EQ(moved.pixelColor(ToQt(layout::PistonPlace) + QPoint(70, 60)),
              QColor::fromRgb(main.Sim().sprites.Kolben(20).Pixel(70, 60)));
    EXPECT_EQ(moved.pixelColor(layout::ScaleX[2] + 25, 570), QColor(Qt::green)) << "the valve marker follows";

    // The widgets report what the user does and follow what the program changes.
    auto* friction = main.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"));
    ASSERT_NE(friction, nullptr);
    EXPECT_EQ(friction->text(), QStringLiteral("Friction")) << "English without a settings file";
    int clicks = 0;
    main.Sim().OnClick("FrictionSelect", [&] { ++clicks; });
    QTest::mouseClick(friction, Qt::LeftButton, {}, QPoint(6, friction->height() / 2));
    EXPECT_TRUE(main.Sim().form.FrictionSelect.checked);
    EXPECT_EQ(clicks, 1);
    main.Sim().form.FrictionSelect.checked = false; // program code changes the form...
    main.Sim().ViewChanged();
    main.AfterEvent();
    EXPECT_FALSE(friction->isChecked()); // ...and the widget follows without running the handler
    EXPECT_EQ(clicks, 1);
    const QImage help = main.findChild<QLabel*>(QStringLiteral("HelpText"))->grab().toImage();
    EXPECT_EQ(help.pixelColor(0, 0), QColor(202, 244, 145));
}

TEST(MainWindow, EscAndCloseLeaveTheInitializationInfoOpen) {
    ShownApp app;
    app.main.Sim().form.initInfo.visible = true; // the procedure runs
    app.main.Sim().ViewChanged();
    app.main.AfterEvent();
    auto* info = app.main.findChild<QWidget*>(QStringLiteral("InitInfoForm"));
    QTest::keyClick(info, Qt::Key_Escape);
    EXPECT_FALSE(info->close()) << "the window manager's close";
    EXPECT_TRUE(info->isVisible());
}

TEST(MainWindow, TheFileMenuOpensInAndAfterTheConfiguration) {
    ShownApp app;
    app.Run(100);
    QMenuBar* bar = app.main.menuBar();
    auto* menu = app.main.findChild<QMenu*>(QStringLiteral("Datei1"));
    for (bool configuration : {true, false}) {
        app.main.Sim().modes.KeyEvent(KeyCode::ModeHeld); // into the configuration, then the version
        if (!configuration) app.main.Sim().modes.KeyEvent(KeyCode::ModeReleased); // whose release leaves it
        app.main.AfterEvent();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        EXPECT_TRUE(menu->isVisible()) << configuration;
        for (const char* name : {"Konfigurationladen1", "Konfigurationspeichern1"}) {
            const auto* item = menu->findChild<QAction*>(QLatin1String(name));
            ASSERT_NE(item, nullptr) << name;
            EXPECT_TRUE(item->isVisible() && item->isEnabled() != configuration) << configuration;
        }
        QTest::keyClick(menu, Qt::Key_Escape);
    }
    EXPECT_EQ(app.main.Sim().state.Mode, Mode::Manual);
}

TEST(MainWindow, TheParameterTableKeepsItsHeaderRowWhileTheGridScrolls) {
    ShownApp app;
    Simulator& sim = app.main.Sim();
    sim.UserClick(sim.form.ParameterTabelle1);
    app.main.AfterEvent();
    auto* window = app.main.findChild<QWidget*>(QStringLiteral("Form3"));
    window->resize(window->width(), ParamTableView::MinHeight);
    auto* grid = window->findChild<QTableWidget*>(QStringLiteral("ParTab"));
    const auto& rows = sim.form.parTab.rows;
    ASSERT_EQ(grid->rowCount() + 1, static_cast<int>(rows.size()));
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(), rows[0][c]);
        EXPECT_EQ(grid->item(0, c)->text().toStdString(), rows[1][c]);
    }
    grid->scrollToBottom();
    EXPECT_GT(grid->rowAt(0), 0) << "a small window scrolls";
}

TEST(MainWindow, PictureScaleTwoKeepsLogicalSize) {
    QTemporaryDir dir;
    AppWindows windows = CreateWindows(ProgramFolder(dir).toStdString(), 2);
    EXPECT_EQ(windows.main->Sim().image1.Scale(), 2);
    EXPECT_EQ(windows.main->Picture()->size(), kPictureSize);
}

TEST(MainWindow, OurSplashPicturePassesTheCheck) {
    EXPECT_TRUE(Splash::Passes(DrawSplashPicture()));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (CTest does, to run each on its own) needs no display and loads nothing of Qt's
    // platform, whose leaks the sanitized build would report.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    // A box nobody answers would hold its test until CTest gives up, saying nothing of why: after half a
    // minute it is closed and the test fails with its text.
    constexpr qint64 kUnansweredMs = 30'000;
    QPointer<QWidget> shown;
    QElapsedTimer shownFor;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != shown) {
            shown = modal;
            shownFor.restart();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal);
                   dialog && shownFor.elapsed() > kUnansweredMs) {
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            ADD_FAILURE() << "a window nobody answered: "
                          << (box ? box->text() : dialog->windowTitle()).toStdString();
            dialog->reject();
        }
    });
    watchdog.start(1000);
    return RUN_ALL_TESTS();
}
