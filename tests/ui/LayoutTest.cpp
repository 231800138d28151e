// The main window's layout: the device keys reached by clicks at window coordinates, and the splash.
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SplashPicture.h"
#include "ShownApp.h"

#include "device/Splash.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vp7;

TEST(Layout, ClicksAtWindowCoordinatesReachTheDeviceKeys) {
    vp7::test::ShownApp app;
    QWidget* client = app.main.centralWidget();
    const auto clickAt = [&](QPoint at) {
        QWidget* target = client->childAt(at);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, at));
    };
    const SimState& s = app.main.Sim().state;
    clickAt({384 + 378, 356}); // mode key: manual
    EXPECT_EQ(s.Mode, Mode::Manual);
    clickAt({384 + 480, 356}); // increase key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.1);
    clickAt({384 + 428, 356}); // decrease key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.0);
}

TEST(Layout, OurSplashPicturePassesTheCheck) {
    EXPECT_TRUE(Splash::Passes(DrawSplashPicture()));
}
