// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar as the user finds it: each menu in its place, Help last, the desktop's items where the
// table puts them.
#include "ShownApp.h"
#include "session/ViewSettings.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/app/MenuBar.h"
#include "ui/training/InstructorControls.h"

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

QStringList BarMenus(MainWindow& window) {
    QStringList names;
    for (const QAction* a : window.menuBar()->actions())
        names << (a->menu() ? a->menu()->objectName() : QStringLiteral("(item)"));
    return names;
}

} // namespace

// The user's own program window has the desktop's and the instructor's menus and items, Help last; a
// played or an exercise's device window only its own.
TEST(Menus, EachWindowHasItsPartsMenusInOrderHelpLast) {
    ProgramWindow program;
    EXPECT_EQ(BarMenus(program.main),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Simulation1"), QStringLiteral("Klassenraum1"),
                           QStringLiteral("Hilfe1")}));
    test::ShownApp device;
    EXPECT_EQ(BarMenus(device.main), (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"),
                                                  QStringLiteral("Extras1"), QStringLiteral("Hilfe1")}));
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
