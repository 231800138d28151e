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
    EXPECT_EQ(BarMenus(device.main.menuBar()),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Hilfe1")}));
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

// An exercise's device is a device window with the program's items of "Datei" around its recording:
// those that would record, play or open anything else greyed, comparing open; none of the desktop's or
// the instructor's, whose menus the user's own window keeps.
TEST(Menus, AnExercisesWindowHasTheDeviceWindowsItemsAndTheProgramsGreyed) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.vp7x"));
    constexpr char kExercise[] = "title \"Handbetrieb\" \"Manual mode\"\nini Config CheckScreen 0\nstart\n";
    ASSERT_TRUE(test::WriteFile(path, kExercise));
    const auto exercise = test::StartExercise(path, kExercise, dir);
    const MenuBar& menus = exercise->Window().Menus();
    const struct {
        ActionId item;
        bool there, enabled;
    } rows[] = {
        {ActionId::ZoomIn, true, true},
        {ActionId::Trend, true, true},
        {ActionId::Keyboard, true, true},
        {ActionId::About, true, true},
        {ActionId::Record, true, false},
        {ActionId::StopRecording, true, false},
        {ActionId::Play, true, false},
        {ActionId::Exercise, true, false},
        {ActionId::Compare, true, true},
        {ActionId::Freeze, false, false},
        {ActionId::Quit, false, false},
        {ActionId::Print, false, false},
        {ActionId::ClassroomConnect, false, false},
    };
    for (const auto& row : rows) {
        const QAction* item = menus.Action(row.item);
        ASSERT_EQ(item != nullptr, row.there) << static_cast<int>(row.item);
        if (item) {
            EXPECT_EQ(item->isEnabled(), row.enabled) << item->text().toStdString();
        }
    }
    EXPECT_EQ(BarMenus(exercise->Window().menuBar()),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Hilfe1")}));
    EXPECT_EQ(FileItems(menus),
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
