// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar as the user finds it: each menu in its place, each item once, in its menu, with its
// shortcut, retitled when the language changes.
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

#include <iterator>
#include <map>
#include <tuple>

using namespace vp7;

namespace {

struct ProgramWindow {
    QTemporaryDir dir;
    VirtualClock clock;
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false, &clock);
    MainWindow& main = *windows.main;
    MenuBar& menus = main.Menus();

    void Choose(Control& item) {
        main.Sim().UserClick(item);
        main.AfterEvent();
    }
};

QStringList BarMenus(MainWindow& window) {
    QStringList names;
    for (const QAction* a : window.menuBar()->actions())
        names << (a->menu() ? a->menu()->objectName() : QStringLiteral("(item)"));
    return names;
}

// The menus an item was put in: one, or the user finds it twice.
QStringList MenusHolding(const QAction& item) {
    QStringList names;
    for (QObject* o : item.associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(o)) names << menu->objectName();
    return names;
}

QString Keys(const QAction& item) {
    return QKeySequence::listToString(item.shortcuts(), QKeySequence::PortableText);
}

} // namespace

TEST(Menus, EveryItemSitsOnceInItsMenuWithItsShortcutAndFollowsTheLanguage) {
    ProgramWindow w;
    const struct {
        ActionId id;
        const char *menu, *name, *keys;
    } rows[] = {
        {ActionId::Print, "Datei1", "KonfigurationDrucken1", "Ctrl+P"},
        {ActionId::Export, "Datei1", "KonfigurationExportieren1", ""},
        {ActionId::Record, "Datei1", "SitzungAufzeichnen1", ""},
        {ActionId::StopRecording, "Datei1", "AufzeichnungBeenden1", ""},
        {ActionId::Play, "Datei1", "AufzeichnungAbspielen1", ""},
        {ActionId::Exercise, "Datei1", "UebungOeffnen1", ""},
        {ActionId::Compare, "Datei1", "KonfigurationVergleichen1", ""},
        {ActionId::Quit, "Datei1", "Beenden1", "Ctrl+Q"},
        {ActionId::ZoomIn, "Ansicht1", "Vergroessern1", "Ctrl++; Ctrl+=; Ctrl+Num++"},
        {ActionId::ZoomOut, "Ansicht1", "Verkleinern1", "Ctrl+-; Ctrl+Num+-"},
        {ActionId::ActualSize, "Ansicht1", "Originalgroesse1", "Ctrl+0; Ctrl+Num+0"},
        {ActionId::FitToWindow, "Ansicht1", "AnFensterAnpassen1", ""},
        {ActionId::Trend, "Extras1", "Verlauf1", "Ctrl+T"},
        {ActionId::Keyboard, "Extras1", "Tastatur1", ""},
        {ActionId::Freeze, "Simulation1", "Anhalten1", "F9"},
        {ActionId::SaveState, "Simulation1", "ZustandSpeichern1", ""},
        {ActionId::LoadState, "Simulation1", "ZustandLaden1", ""},
        {ActionId::Rewind, "Simulation1", "Zurueckspulen1", ""},
        {ActionId::QuickGuide, "Hilfe1", "Kurzanleitung1", "F1"},
        {ActionId::About, "Hilfe1", "Ueber1", ""},
    };
    FormState& form = w.main.Sim().form;
    std::map<ActionId, QString> german;
    w.Choose(form.Deutsch1);
    for (const auto& row : rows)
        if (const QAction* a = w.menus.Action(row.id)) german[row.id] = a->text();
    w.Choose(form.English1);
    for (const auto& row : rows) {
        const QAction* a = w.menus.Action(row.id);
        ASSERT_NE(a, nullptr) << row.name;
        EXPECT_EQ(a->objectName(), QLatin1String(row.name));
        EXPECT_EQ(MenusHolding(*a), QStringList(QLatin1String(row.menu))) << row.name;
        EXPECT_EQ(Keys(*a), QLatin1String(row.keys)) << row.name;
        EXPECT_FALSE(german[row.id].isEmpty() || a->text().isEmpty()) << row.name;
        EXPECT_NE(german[row.id], a->text()) << row.name << " keeps its caption in English";
    }
    // The device's own items take the desktop's shortcuts in the user's program window.
    EXPECT_EQ(Keys(*w.menus.Item(form.Konfigurationladen1)), QStringLiteral("Ctrl+O"));
    EXPECT_EQ(Keys(*w.menus.Item(form.Konfigurationspeichern1)), QStringLiteral("Ctrl+S"));
    for (const auto& [id, menu, count] :
         {std::tuple{ActionId::ZoomStep, "Ansicht1", ViewSettings::kSteps.size()},
          std::tuple{ActionId::SpeedStep, "Geschwindigkeit1", std::size(InstructorControls::kSpeeds)}}) {
        ASSERT_EQ(w.menus.Choices(id).size(), count) << menu;
        for (const QAction* choice : w.menus.Choices(id))
            EXPECT_EQ(MenusHolding(*choice), QStringList(QLatin1String(menu)))
                << choice->text().toStdString();
    }

    // A shortcut two items share does nothing at all.
    std::map<QString, QStringList> owners;
    for (const QAction* a : w.main.findChildren<QAction*>())
        for (const QKeySequence& key : a->shortcuts())
            owners[key.toString(QKeySequence::PortableText)] << a->objectName();
    for (const auto& [key, names] : owners)
        EXPECT_EQ(names.size(), 1) << key.toStdString() << ": " << names.join(QLatin1Char(' ')).toStdString();
}

// The user's own program window has the desktop's and the instructor's menus and items, Help last; a
// played or an exercise's device window only its own.
TEST(Menus, EachWindowHasItsPartsMenusInOrderHelpLast) {
    ProgramWindow program;
    EXPECT_EQ(BarMenus(program.main),
              (QStringList{QStringLiteral("Datei1"), QStringLiteral("Ansicht1"), QStringLiteral("Extras1"),
                           QStringLiteral("Simulation1"), QStringLiteral("Hilfe1")}));
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
