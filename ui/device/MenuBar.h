// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A device window's menu bar, declared in one table (MenuBar.cpp): every menu and item in its order,
// with its object name, its captions in both languages, its shortcuts, whether it is checked, and the
// part of the program that adds it. The device's own menus and items take their captions, check marks
// and visibility from the form state; the program's own are retitled with the program's language. The
// parts reach their items through the handles here and connect their handlers.
#include "model/DeviceCodes.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QString;
class QWidget;

namespace vp7 {

class FormState;
struct Control;

enum class MenuId { File, Recent, View, Extras, Language, Pointer, Simulation, Speed, Classroom, Help };

enum class ActionId {
    Print,
    Export,
    Record,
    StopRecording,
    Play,
    Exercise,
    Compare,
    Quit,
    ZoomIn,
    ZoomOut,
    ActualSize,
    ZoomStep, // one item per zoom step (Choices)
    FitToWindow,
    Trend,
    Keyboard,
    ModbusServer,
    Freeze,
    SpeedStep, // one item per speed (Choices)
    SaveState,
    LoadState,
    Rewind,
    ClassroomConnect,
    ClassroomJoinWithCode,
    ClassroomDisconnect,
    InstructorStation,
    QuickGuide,
    About,
};

// Who adds an entry: every device window has the device window's own (the view, the trend, the
// keyboard, the help); the program's windows (the user's, an exercise's) its recording, playing,
// exercise and comparing; only the user's own program window the desktop conventions' and the
// instructor's.
enum class MenuPart { Device, Program, Desktop, Instructor };

// The speeds the "Simulation" menu offers, and a speed as the menu and the status bar show it: "2×".
inline constexpr double kSimulationSpeeds[] = {0.5, 1, 2, 5, 10};
QString SpeedText(double rate);

class MenuBar {
public:
    // The device's menus and items of `form` in `bar`; the parts follow with Add.
    MenuBar(QMenuBar& bar, const FormState& form);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Adds the entries of `part` at their places, captioned in `language`; the device's items get the
    // part's shortcuts.
    void Add(MenuPart part, Language language);
    // The program's captions in `language` (after every copy of the form state).
    void Retranslate(Language language);

    // None while the entry's part has not been added.
    QAction* Action(ActionId id) const;
    QMenu* Menu(MenuId id) const;
    // The items of a list of choices (ZoomStep, SpeedStep) in their order, each with its value as data.
    const std::vector<QAction*>& Choices(ActionId id) const;
    // The device's item (or the action of its menu) for a menu control of the form.
    QAction* Item(const Control& control) const;
    // The device's items a user chooses (its menus left out), with their controls' names.
    const std::vector<std::pair<std::string, QAction*>>& DeviceItems() const { return deviceItems_; }

private:
    void Place(std::size_t row);
    QWidget& Container(std::size_t row) const;

    QMenuBar& bar_;
    std::vector<std::vector<QAction*>> placed_; // per row of the table: what it put in its menu
    std::map<MenuId, QMenu*> menus_;
    std::map<ActionId, std::vector<QAction*>> actions_;
    std::map<std::string, QAction*, std::less<>> items_;
    std::vector<std::pair<std::string, QAction*>> deviceItems_;
    std::map<std::string, QActionGroup*, std::less<>> groups_; // exclusive choices, made as first used
    Language language_ = Language::German;
    bool captioned_ = false;
};

} // namespace vp7
