// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar as the user finds it: each menu in its place, Help last, the desktop's items where the
// table puts them.
#include "ShownApp.h"
#include "session/ViewSettings.h"
#include "ui/app/Application.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/MainWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/training/DeviceRecording.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <map>
#include <vector>

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

// A device window's menus: a played recording's or an exercise's.
const QStringList kDeviceMenus{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"),
                               QStringLiteral("Extras1"), QStringLiteral("Hilfe1")};

// The "Datei" menu's items by name, "-" for a separator.
QString FileItems(const MenuBar& menus) {
    QStringList file;
    for (const QAction* a : menus.Menu(MenuId::File)->actions())
        file << (a->isSeparator() ? QStringLiteral("-")
                 : a->menu()      ? a->menu()->objectName()
                                  : a->objectName());
    return file.join(QLatin1Char(' '));
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
    EXPECT_EQ(BarMenus(device.main.menuBar()), kDeviceMenus);
    const MenuBar& menus = device.main.Menus();
    EXPECT_EQ(menus.Action(ActionId::Quit), nullptr);
    EXPECT_EQ(menus.Menu(MenuId::Simulation), nullptr);
    EXPECT_EQ(menus.Menu(MenuId::Recent), nullptr);
    EXPECT_TRUE(menus.Item(device.main.Sim().form.Konfigurationladen1)->shortcuts().isEmpty());
    // The desktop's items, added after the window's own, still go where the table puts them.
    EXPECT_EQ(FileItems(program.menus),
              QStringLiteral(
                  "Konfigurationladen1 Konfigurationspeichern1 ZuletztGeoeffnet1 - KonfigurationDrucken1 "
                  "KonfigurationExportieren1 - SitzungAufzeichnen1 AufzeichnungBeenden1 "
                  "AufzeichnungAbspielen1 - UebungOeffnen1 KonfigurationVergleichen1 - Beenden1"));
}

// A played recording's window and an exercise's are device windows: the view's, the trend's, the
// keyboard's and the help's items, none of the desktop's or the instructor's, whose menus the user's own
// window keeps. The exercise's has the program's items of "Datei" around its recording: those that would
// record, play or open anything else greyed, comparing open; the played one has none of them.
TEST(Menus, PlayedAndExerciseWindowsHaveTheDeviceWindowsItems) {
    ProgramWindow program;
    const QString recording = program.dir.filePath(QStringLiteral("r.vp7s"));
    ASSERT_TRUE(test::WriteFile(recording, "ini Config CheckScreen 0\nstart\nwait 100\n"));
    const auto player = OpenPlayer(nullptr, recording, false);
    ASSERT_TRUE(player);
    player->SetPaused(true);
    const QString path = program.dir.filePath(QStringLiteral("e.vp7x"));
    constexpr char kExercise[] = "title \"Handbetrieb\" \"Manual mode\"\nini Config CheckScreen 0\nstart\n";
    ASSERT_TRUE(test::WriteFile(path, kExercise));
    const auto exercise = test::StartExercise(path, kExercise, program.dir);
    enum In { Absent, Greyed, Enabled };
    const struct {
        ActionId item;
        In played, exercise;
    } rows[] = {
        {ActionId::ZoomIn, Enabled, Enabled},         {ActionId::Trend, Enabled, Enabled},
        {ActionId::QuickGuide, Enabled, Enabled},     {ActionId::Record, Absent, Greyed},
        {ActionId::StopRecording, Absent, Greyed},    {ActionId::Play, Absent, Greyed},
        {ActionId::Exercise, Absent, Greyed},         {ActionId::Compare, Absent, Enabled},
        {ActionId::Freeze, Absent, Absent},           {ActionId::Quit, Absent, Absent},
        {ActionId::ClassroomConnect, Absent, Absent},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.item));
        EXPECT_NE(program.menus.Action(row.item), nullptr);
        EXPECT_EQ(player->Window().Menus().Action(row.item) != nullptr, row.played != Absent);
        const QAction* item = exercise->Window().Menus().Action(row.item);
        ASSERT_EQ(item != nullptr, row.exercise != Absent);
        if (item) {
            EXPECT_EQ(item->isEnabled(), row.exercise == Enabled) << item->text().toStdString();
        }
    }
    EXPECT_EQ(BarMenus(player->Window().menuBar()), kDeviceMenus);
    EXPECT_EQ(BarMenus(exercise->Window().menuBar()), kDeviceMenus);
    EXPECT_EQ(FileItems(exercise->Window().Menus()),
              QStringLiteral("Konfigurationladen1 Konfigurationspeichern1 - SitzungAufzeichnen1 "
                             "AufzeichnungBeenden1 AufzeichnungAbspielen1 - UebungOeffnen1 "
                             "KonfigurationVergleichen1"));
    // The recording runs from the start, shown at the menu bar's right end.
    EXPECT_TRUE(exercise->Recording().Running());
    EXPECT_TRUE(exercise->Window().findChild<QLabel*>(QStringLiteral("RecordingMark"))->isVisible());
}

// Alt and a letter reach one item of an open menu: no two items of a menu share their marked letter, in
// either language, the device's own menus and the program's alike.
TEST(Menus, NoTwoItemsOfAMenuShareTheirLetter) {
    ProgramWindow program;
    for (const Language language : {Language::German, Language::English}) {
        program.menus.Retranslate(language);
        std::vector<const QMenu*> menus;
        for (const QAction* a : program.main.menuBar()->actions())
            if (a->menu()) menus.push_back(a->menu());
        for (std::size_t i = 0; i < menus.size(); ++i) // and their submenus
            for (const QAction* a : menus[i]->actions())
                if (a->menu()) menus.push_back(a->menu());
        for (const QMenu* menu : menus) {
            std::map<QChar, QString> taken;
            for (const QAction* a : menu->actions()) {
                const QString text = a->text();
                const qsizetype mark = text.indexOf(QLatin1Char('&'));
                if (a->isSeparator() || mark < 0 || mark + 1 >= text.size()) continue;
                const QChar letter = text[mark + 1].toLower();
                EXPECT_FALSE(taken.contains(letter))
                    << menu->objectName().toStdString() << ": " << text.toStdString() << " and "
                    << taken[letter].toStdString();
                taken[letter] = text;
            }
        }
    }
}
