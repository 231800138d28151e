// The main window's layout: the device keys reached by clicks at window coordinates, and the splash.
#include "ShownApp.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SplashPicture.h"

#include "device/Splash.h"
#include "platform/PictureLayout.h"

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
    const auto keyInWindow = [](int key) {
        const layout::Point c = layout::KeyCentres[key], picture = layout::PictureInWindow;
        return QPoint(picture.x + c.x, picture.y + c.y);
    };
    const SimState& s = app.main.Sim().state;
    clickAt(keyInWindow(0)); // mode key: manual
    EXPECT_EQ(s.Mode, Mode::Manual);
    clickAt(keyInWindow(2)); // increase key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.1);
    clickAt(keyInWindow(1)); // decrease key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.0);
}

TEST(Layout, OurSplashPicturePassesTheCheck) {
    EXPECT_TRUE(Splash::Passes(DrawSplashPicture()));
}
