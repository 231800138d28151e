// SPDX-License-Identifier: GPL-3.0-or-later
// The user's program window as a desktop program: a file of the recent list loads as any load does (and
// is recorded so), its name stands in the title, the shortcuts, every text in the program's language.
#include "ShownApp.h"
#include "formats/AtomicFile.h"
#include "session/SavedState.h"
#include "session/script/Runner.h"
#include "sim/files/ConfigFiles.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamSet.h"
#include "support/RunScript.h"
#include "ui/app/Application.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/DesktopConventions.h"
#include "ui/app/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

using namespace vp7;

namespace {

struct ProgramApp {
    QTemporaryDir dir;
    VirtualClock clock;
    QString recording = dir.filePath(QStringLiteral("session.vp7s"));
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock,
                                              {.recordPath = recording.toStdString()});
    MainWindow& main = *windows.main;
    Simulator& sim = main.Sim();
    DesktopConventions& desktop = *windows.desktop;

    ProgramApp() {
        main.show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main)); // shortcuts reach an active window only
        Run(100);
    }
    void Run(int ms) {
        clock.Advance(ms);
        main.AfterEvent();
        QCoreApplication::processEvents();
    }
    int32_t Deba() const { return sim.params.ParamTable[sim.params.DEBAIndex].Value; }
    // A configuration file as the device saves it, with another dead band.
    std::string WriteConfiguration(const char* name, int32_t deba) {
        TParamField& field = sim.params.ParamTable[sim.params.DEBAIndex];
        const int32_t was = std::exchange(field.Value, deba);
        const ConfigFiles::Record record = sim.configFiles.BuildRecord();
        field.Value = was;
        const std::string path = dir.filePath(QStringLiteral("Data/") + QLatin1String(name)).toStdString();
        EXPECT_TRUE(WriteFileAtomically(
            path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size())));
        return path;
    }
    void Shortcut(Qt::Key key) { QTest::keyClick(&main, key, Qt::ControlModifier); }
};

} // namespace

TEST(Desktop, ARecentFileLoadsAsAnyLoadIsRecordedSoAndKeptAtQuitting) {
    ProgramApp app;
    const std::string first = app.WriteConfiguration("first.vp7", 12);
    const std::string second = app.WriteConfiguration("second.vp7", 30);
    app.desktop.OpenRecent(first);
    EXPECT_EQ(app.Deba(), 12);
    EXPECT_TRUE(app.main.windowTitle().endsWith(QStringLiteral(" \u2013 first.vp7")))
        << app.main.windowTitle().toStdString();

    app.main.Host().AnswerNextOpenDialog(second); // Ctrl+O, its dialog answered with the file
    app.Shortcut(Qt::Key_O);
    EXPECT_EQ(app.Deba(), 30);
    EXPECT_EQ(app.desktop.Recent().Paths(), (std::vector<std::string>{second, first}));

    auto* recent = app.main.findChild<QMenu*>(QStringLiteral("ZuletztGeoeffnet1"));
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    recent->actions()[1]->trigger();
    EXPECT_EQ(app.Deba(), 12);
    EXPECT_TRUE(app.main.windowTitle().endsWith(QStringLiteral(" \u2013 first.vp7")));

    // In the configuration the device hides "Konfiguration laden": neither the list nor Ctrl+O loads.
    app.sim.modes.KeyEvent(KeyCode::ModeHeld);
    app.main.AfterEvent();
    EXPECT_FALSE(recent->isEnabled());
    app.main.Host().AnswerNextOpenDialog(second);
    app.Shortcut(Qt::Key_O);
    app.main.Host().AnswerNextOpenDialog(std::nullopt);
    EXPECT_EQ(app.Deba(), 12);

    // Recorded as the menu item with the dialog's answer: a replay loads the same files.
    app.main.Recording().Stop();
    const std::string recorded = test::Bytes(app.recording).toStdString();
    for (const std::string& path : {first, second, first})
        EXPECT_NE(recorded.find("file " + path + "\nmenu Konfigurationladen1\n"), std::string::npos) << path;
    const auto replay = test::RunScript(recorded + "print param DEBA\n",
                                        app.dir.filePath(QStringLiteral("replay")).toStdString());
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, "param DEBA 12\n");

    // Ctrl+Q is the window's close: the settings are written, the recent list with them.
    app.Shortcut(Qt::Key_Q);
    EXPECT_FALSE(app.main.isVisible());
    EXPECT_TRUE(test::Bytes(app.dir.filePath(QStringLiteral("Config/VP7.ini")))
                    .contains(("[RecentFiles]\r\nFile1=" + first + "\r\nFile2=" + second + "\r\n").c_str()));
}

// F1 opens the guide; Qt's own buttons and dialogs, the menus, and the guide and the About window once
// open switch with the program's language.
TEST(Desktop, EveryTextFollowsTheProgramsLanguage) {
    ProgramApp app;
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(cancel(), QStringLiteral("Cancel"));
    auto* help = app.main.findChild<QMenu*>(QStringLiteral("Hilfe1"));
    auto* print = app.main.findChild<QAction*>(QStringLiteral("KonfigurationDrucken1"));
    ASSERT_TRUE(help && print);
    QTest::keyClick(&app.main, Qt::Key_F1);
    auto* guide = app.main.findChild<QTextBrowser*>(QStringLiteral("QuickGuideText"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->window()->isVisible());
    app.main.findChild<QAction*>(QStringLiteral("Ueber1"))->trigger();
    auto* about = app.main.findChild<QLabel*>(QStringLiteral("AboutText"));
    ASSERT_NE(about, nullptr);
    const struct {
        const char *item, *cancel, *print, *menu, *guide, *about;
    } rows[] = {
        // Words from the guide's end: the whole section is there.
        {"Deutsch1", "Abbrechen", "Konfiguration drucken…", "&Hilfe", "nicht größer als dieser",
         "GNU General Public License, Version 3"},
        {"English1", "Cancel", "Print configuration…", "&Help", "no larger than that screen",
         "GNU General Public License, version 3"},
    };
    for (const std::size_t language : {0, 1, 0}) { // and back again
        const auto& row = rows[language];
        app.main.findChild<QAction*>(QLatin1String(row.item))->trigger();
        EXPECT_EQ(cancel(), QString::fromUtf8(row.cancel)) << row.item;
        EXPECT_EQ(print->text(), QString::fromUtf8(row.print)) << row.item;
        EXPECT_EQ(help->title(), QString::fromUtf8(row.menu)) << row.item;
        EXPECT_TRUE(guide->toPlainText().contains(QString::fromUtf8(row.guide))) << row.item;
        const QString text = about->text();
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.about))) << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Version ") + QString::fromLatin1(ProgramVersion())))
            << row.item;
        EXPECT_TRUE(text.contains(QStringLiteral("Qt " QT_VERSION_STR))) << row.item;
    }
}

// A logout while the start-up picture still shows (an instructor who works only in the station): the
// window may not close, the program ends all the same, and the station's broker and room are kept.
TEST(Desktop, ATerminationSignalKeepsTheSettingsWhileTheStartUpPictureShows) {
    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock);
    ASSERT_FALSE(windows.main->Sim().FormCloseQuery()); // the picture waits for a click
    ClassroomSettings settings;
    settings.host = "broker.example";
    settings.room = "r7";
    settings.stationUser = "teacher";
    windows.classroom->OpenStation(settings, "");
    const QString iniPath = dir.filePath(QStringLiteral("Config/VP7.ini"));
    EndOnTerminationSignals(windows);
    std::raise(SIGTERM);
    for (int i = 0; i < 100 && !test::Bytes(iniPath).contains("StationUser"); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const QByteArray ini = test::Bytes(iniPath);
    EXPECT_TRUE(ini.contains("Host=broker.example") && ini.contains("Room=r7") &&
                ini.contains("StationUser=teacher"))
        << ini.toStdString();
}
