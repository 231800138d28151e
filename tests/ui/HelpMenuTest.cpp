// SPDX-License-Identifier: GPL-3.0-or-later
// The "Hilfe" / "Help" menu with the quick guide and the About window, and the program's --version and
// --help on the terminal.
#include "ShownApp.h"
#include "ui/Application.h"
#include "ui/SingleInstance.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
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
    EXPECT_EQ(app.main.menuBar()->actions().back(), help->menuAction()) << "the last menu";

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
        {"Deutsch1", "&Hilfe", "Die Modustaste geht zum nächsten Parameter",
         "GNU General Public License, Version 3"},
        {"English1", "&Help", "The mode key goes to the next parameter",
         "GNU General Public License, version 3"},
    };
    for (const auto& row : rows) {
        app.main.findChild<QAction*>(QLatin1String(row.item))->trigger();
        EXPECT_EQ(help->title(), QString::fromUtf8(row.menu)) << row.item;
        EXPECT_TRUE(guide->toPlainText().contains(QString::fromUtf8(row.guide))) << row.item;
        const QString text = about->text();
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.about))) << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Version ") + ProgramVersion())) << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Qt " QT_VERSION_STR))) << row.item;
    }
    // The guide is the README's whole operating section, its keyboard table and zoom included.
    for (const char* part : {"Operating the simulated device", "Shift+Space: latch", "Fit to window"})
        EXPECT_TRUE(guide->toPlainText().contains(QLatin1String(part))) << part;
}

// --version and --help answer on the terminal without a display, and while a simulator runs they neither
// end at its lock nor bring it to the front.
TEST(HelpMenu, VersionAndHelpNeedNoWindow) {
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    SingleInstance running;
    ASSERT_TRUE(running.Acquire());
    int asked = 0;
    QObject::connect(&running, &SingleInstance::RaiseRequested, [&] { ++asked; });
    const struct {
        const char *argument, *output;
        bool whole; // the whole output, or a part of it
    } rows[] = {{"--version", "vp7sim %1\n", true},
                {"-v", "vp7sim %1\n", true},
                {"--help", "--exercise <FILE>", false}};
    for (const auto& row : rows) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VP7SIM_EXE), {QLatin1String(row.argument)});
        ASSERT_TRUE(program.waitForFinished(10000)) << row.argument;
        EXPECT_EQ(program.exitCode(), 0) << row.argument;
        const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString expected = QString::fromLatin1(row.output);
        EXPECT_TRUE(row.whole ? output == expected.arg(ProgramVersion()) : output.contains(expected))
            << row.argument << ": " << output.toStdString();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 0);
}
