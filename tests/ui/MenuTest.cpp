// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar as the user finds it: each menu in its place, Help last, the desktop's items where the
// table puts them.
#include "ShownApp.h"
#include "session/ViewSettings.h"
#include "ui/app/Application.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/MainWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/training/Player.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

struct ProgramWindow {
    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock);
    MainWindow& main = *windows.main;
    MenuBar& menus = main.Menus();
};

QStringList BarMenus(const QMenuBar* bar) {
    QStringList names;
    for (const QAction* a : bar->actions())
        names << (a->menu() ? a->menu()->objectName() : QStringLiteral("(item)"));
    return names;
}

} // namespace

// The user's own program window has the desktop's and the instructor's menus and items, Help last; a
// played or an exercise's device window only its own.
TEST(Menus, EachWindowHasItsPartsMenusInOrderHelpLast) {
    ProgramWindow program;
    EXPECT_EQ(BarMenus(program.main.menuBar()),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Simulation1"), QStringLiteral("Klassenraum1"),
                           QStringLiteral("Hilfe1")}));
    test::ShownApp device;
    EXPECT_EQ(BarMenus(device.main.menuBar()),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Hilfe1")}));
    const MenuBar& menus = device.main.Menus();
    EXPECT_EQ(menus.Action(ActionId::Quit), nullptr);
    EXPECT_EQ(menus.Menu(MenuId::Simulation), nullptr);
    EXPECT_EQ(menus.Menu(MenuId::Recent), nullptr);
    EXPECT_TRUE(menus.Item(device.main.Sim().form.Konfigurationladen1)->shortcuts().isEmpty());
    // The desktop's items, added after the window's own, still go where the table puts them.
    QStringList file;
    for (const QAction* a : program.menus.Menu(MenuId::File)->actions())
        file << (a->isSeparator() ? QStringLiteral("-")
                 : a->menu()      ? a->menu()->objectName()
                                  : a->objectName());
    EXPECT_EQ(file.join(QLatin1Char(' ')),
              QStringLiteral(
                  "Konfigurationladen1 Konfigurationspeichern1 ZuletztGeoeffnet1 - KonfigurationDrucken1 "
                  "KonfigurationExportieren1 - SitzungAufzeichnen1 AufzeichnungBeenden1 "
                  "AufzeichnungAbspielen1 - UebungOeffnen1 KonfigurationVergleichen1 - Beenden1"));
}

// A played recording's window is a device window: the view's, the trend's, the keyboard's and the
// help's items, but none of the program's (recording, playing, exercises, comparing), which the user's
// own window keeps.
TEST(Menus, APlayedWindowHasTheDeviceWindowsItemsOnly) {
    ProgramWindow program;
    const QString recording = program.dir.filePath(QStringLiteral("r.vp7s"));
    ASSERT_TRUE(test::WriteFile(recording, "ini Config CheckScreen 0\nstart\nwait 100\n"));
    const auto player = OpenPlayer(nullptr, recording, false);
    ASSERT_TRUE(player);
    player->SetPaused(true);
    const MenuBar& played = player->Window().Menus();
    const struct {
        ActionId item;
        bool inPlayed;
    } rows[] = {
        {ActionId::ZoomIn, true},    {ActionId::FitToWindow, true},    {ActionId::Trend, true},
        {ActionId::Keyboard, true},  {ActionId::QuickGuide, true},     {ActionId::About, true},
        {ActionId::Record, false},   {ActionId::StopRecording, false}, {ActionId::Play, false},
        {ActionId::Exercise, false}, {ActionId::Compare, false},       {ActionId::Freeze, false},
        {ActionId::Quit, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(played.Action(row.item) != nullptr, row.inPlayed) << static_cast<int>(row.item);
        EXPECT_NE(program.menus.Action(row.item), nullptr) << static_cast<int>(row.item);
    }
    EXPECT_EQ(BarMenus(player->Window().menuBar()),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Hilfe1")}));
}
