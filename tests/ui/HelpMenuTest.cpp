// SPDX-License-Identifier: GPL-3.0-or-later
// The "Hilfe" / "Help" menu with the quick guide and the About window.
#include "ShownApp.h"
#include "session/SavedState.h"
#include "ui/app/Application.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace vp7;

// F1 opens the guide, and both windows, once open, switch with the program's language as the menu does.
TEST(HelpMenu, GuideAndAboutFollowTheLanguage) {
    test::ShownApp app;
    app.Run(100);
    app.main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.main)); // shortcuts reach an active window only
    auto* help = app.main.findChild<QMenu*>(QStringLiteral("Hilfe1"));
    ASSERT_NE(help, nullptr);

    QTest::keyClick(&app.main, Qt::Key_F1);
    auto* guide = app.main.findChild<QTextBrowser*>(QStringLiteral("QuickGuideText"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->window()->isVisible());
    app.main.findChild<QAction*>(QStringLiteral("Ueber1"))->trigger();
    auto* about = app.main.findChild<QLabel*>(QStringLiteral("AboutText"));
    ASSERT_NE(about, nullptr);

    const struct {
        const char *item, *menu, *guide, *about;
    } rows[] = {
        // Words from the guide's end: the whole section is there.
        {"Deutsch1", "&Hilfe", "nicht größer als dieser", "GNU General Public License, Version 3"},
        {"English1", "&Help", "no larger than that screen", "GNU General Public License, version 3"},
    };
    for (const auto& row : rows) {
        app.main.findChild<QAction*>(QLatin1String(row.item))->trigger();
        EXPECT_EQ(help->title(), QString::fromUtf8(row.menu)) << row.item;
        EXPECT_TRUE(guide->toPlainText().contains(QString::fromUtf8(row.guide))) << row.item;
        const QString text = about->text();
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.about))) << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Version ") + QString::fromLatin1(ProgramVersion())))
            << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Qt " QT_VERSION_STR))) << row.item;
    }
}
