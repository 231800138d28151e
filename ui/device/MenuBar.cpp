// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/MenuBar.h"

#include "model/FormState.h"
#include "session/ViewSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace vp7 {
namespace {

enum class Kind {
    Menu,       // a menu of the program's
    DeviceMenu, // a menu of the device's form: its caption and visibility come from there
    DeviceItem, // an item of the device's form: caption, check mark, visibility from there
    Action,     // an item of the program's
    Choices,    // a list of the program's items, one per value, exclusive with the others of its group
};

struct Words {
    const char* de = nullptr;
    const char* en = nullptr;
};

struct Row {
    Kind kind = Kind::Action;
    std::optional<MenuId> in; // the menu it sits in; none: the bar
    MenuId menu{};            // a menu's own id
    ActionId action{};
    const char* name = nullptr; // the object name (a pattern for Choices); the device's: its control's
    Words caption;              // the device's come from the form state
    std::vector<QKeySequence> keys;
    Qt::ShortcutContext context = Qt::WindowShortcut;
    bool checkable = false;
    bool separatorBefore = false;
    const char* group = nullptr; // checked exclusively with the others of its group
    // Which part adds it; a device item is always there, and only its shortcuts come with the part.
    MenuPart part = MenuPart::Device;
    std::vector<double> values; // Choices: one item per value, captioned and named after it
    QString (*label)(double) = nullptr;

    Row&& Keys(std::vector<QKeySequence> sequences, Qt::ShortcutContext where = Qt::WindowShortcut) && {
        keys = std::move(sequences);
        context = where;
        return std::move(*this);
    }
    Row&& Checkable() && {
        checkable = true;
        return std::move(*this);
    }
    Row&& AfterSeparator() && {
        separatorBefore = true;
        return std::move(*this);
    }
    Row&& InGroup(const char* name) && {
        group = name;
        return std::move(*this);
    }
    Row&& Of(MenuPart by) && {
        part = by;
        return std::move(*this);
    }
};

Row Make(Kind kind, std::optional<MenuId> in, const char* name, Words caption = {}) {
    Row row;
    row.kind = kind;
    row.in = in;
    row.name = name;
    row.caption = caption;
    return row;
}
Row BarMenu(MenuId id, const char* name, Words caption) {
    Row row = Make(Kind::Menu, {}, name, caption);
    row.menu = id;
    return row;
}
Row SubMenu(MenuId in, MenuId id, const char* name, Words caption) {
    Row row = Make(Kind::Menu, in, name, caption);
    row.menu = id;
    return row;
}
Row DeviceMenu(std::optional<MenuId> in, MenuId id, const char* name) {
    Row row = Make(Kind::DeviceMenu, in, name);
    row.menu = id;
    return row;
}
Row Device(MenuId in, const char* name) {
    return Make(Kind::DeviceItem, in, name);
}
Row Item(MenuId in, ActionId id, const char* name, Words caption) {
    Row row = Make(Kind::Action, in, name, caption);
    row.action = id;
    return row;
}
Row Choices(MenuId in, ActionId id, std::vector<double> values, QString (*label)(double),
            const char* namePattern) {
    Row row = Make(Kind::Choices, in, namePattern);
    row.action = id;
    row.checkable = true;
    row.values = std::move(values);
    row.label = label;
    return row;
}

QString ZoomLabel(double percent) {
    return QStringLiteral("%1 %").arg(percent);
}

std::vector<double> ZoomSteps() {
    return {ViewSettings::kSteps.begin(), ViewSettings::kSteps.end()};
}

QKeySequence Keypad(Qt::Key key) {
    return QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | key);
}

// The menu bar from left to right, each menu from top to bottom. "Ansicht" sits beside "Datei", where a
// view menu is looked for; "Hilfe" stays the last menu, as on every desktop.
const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> r;
        const auto add = [&r](Row&& row) { r.push_back(std::move(row)); };
        add(DeviceMenu({}, MenuId::File, "Datei1"));
        // The items are greyed while the device hides them, and a greyed item's shortcut does nothing.
        add(Device(MenuId::File, "Konfigurationladen1").Keys({Qt::CTRL | Qt::Key_O}).Of(MenuPart::Desktop));
        add(Device(MenuId::File, "Konfigurationspeichern1")
                .Keys({Qt::CTRL | Qt::Key_S})
                .Of(MenuPart::Desktop));
        add(SubMenu(MenuId::File, MenuId::Recent, "ZuletztGeoeffnet1", {"Zuletzt geöffnet", "Recent files"})
                .Of(MenuPart::Desktop));
        add(Item(MenuId::File, ActionId::Print, "KonfigurationDrucken1",
                 {"Konfiguration drucken…", "Print configuration…"})
                .Keys({Qt::CTRL | Qt::Key_P})
                .AfterSeparator()
                .Of(MenuPart::Desktop));
        add(Item(MenuId::File, ActionId::Export, "KonfigurationExportieren1",
                 {"Konfiguration exportieren…", "Export configuration…"})
                .Of(MenuPart::Desktop));
        add(Item(MenuId::File, ActionId::Record, "SitzungAufzeichnen1",
                 {"Sitzung aufzeichnen…", "Record session…"})
                .AfterSeparator()
                .Of(MenuPart::Program));
        add(Item(MenuId::File, ActionId::StopRecording, "AufzeichnungBeenden1",
                 {"Aufzeichnung beenden", "Stop recording"})
                .Of(MenuPart::Program));
        add(Item(MenuId::File, ActionId::Play, "AufzeichnungAbspielen1",
                 {"Aufzeichnung abspielen…", "Play recording…"})
                .Of(MenuPart::Program));
        add(Item(MenuId::File, ActionId::Exercise, "UebungOeffnen1", {"Übung öffnen…", "Open exercise…"})
                .AfterSeparator()
                .Of(MenuPart::Program));
        add(Item(MenuId::File, ActionId::Compare, "KonfigurationVergleichen1",
                 {"Konfiguration vergleichen…", "Compare configuration…"})
                .Of(MenuPart::Program));
        add(Item(MenuId::File, ActionId::Quit, "Beenden1", {"Beenden", "Quit"})
                .Keys({Qt::CTRL | Qt::Key_Q})
                .AfterSeparator()
                .Of(MenuPart::Desktop));

        add(BarMenu(MenuId::View, "Ansicht1", {"Ansicht", "View"}));
        // "+" lies under Shift on many keyboards, and the keypad has its own.
        add(Item(MenuId::View, ActionId::ZoomIn, "Vergroessern1", {"Vergrößern", "Zoom in"})
                .Keys({QKeySequence::ZoomIn, Qt::CTRL | Qt::Key_Equal, Keypad(Qt::Key_Plus)}));
        add(Item(MenuId::View, ActionId::ZoomOut, "Verkleinern1", {"Verkleinern", "Zoom out"})
                .Keys({QKeySequence::ZoomOut, Keypad(Qt::Key_Minus)}));
        add(Item(MenuId::View, ActionId::ActualSize, "Originalgroesse1", {"Originalgröße", "Actual size"})
                .Keys({Qt::CTRL | Qt::Key_0, Keypad(Qt::Key_0)}));
        add(Choices(MenuId::View, ActionId::ZoomStep, ZoomSteps(), ZoomLabel, "Zoom%1")
                .AfterSeparator()
                .InGroup("zoom"));
        add(Item(MenuId::View, ActionId::FitToWindow, "AnFensterAnpassen1",
                 {"An Fenster anpassen", "Fit to window"})
                .Checkable()
                .InGroup("zoom"));

        add(DeviceMenu({}, MenuId::Extras, "Extras1"));
        add(Device(MenuId::Extras, "ParameterTabelle1"));
        // Beside the parameter table's; from the trend window too.
        add(Item(MenuId::Extras, ActionId::Trend, "Verlauf1", {"Verlauf", "Trend"})
                .Keys({Qt::CTRL | Qt::Key_T}, Qt::ApplicationShortcut)
                .Checkable());
        add(DeviceMenu(MenuId::Extras, MenuId::Language, "Sprache1"));
        add(Device(MenuId::Language, "Deutsch1"));
        add(Device(MenuId::Language, "English1"));
        add(DeviceMenu(MenuId::Extras, MenuId::Pointer, "Mauszeiger1"));
        add(Device(MenuId::Pointer, "MausStandard"));
        add(Device(MenuId::Pointer, "MausKreuz"));
        add(Device(MenuId::Pointer, "MausHand"));
        add(Device(MenuId::Extras, "ExtraCheckScreen").Checkable());
        add(Item(MenuId::Extras, ActionId::Keyboard, "Tastatur1", {"Tastatur…", "Keyboard…"})
                .AfterSeparator());
        add(Item(MenuId::Extras, ActionId::ModbusServer, "ModbusServer1",
                 {"Modbus-Server…", "Modbus server…"})
                .Of(MenuPart::Desktop));

        add(BarMenu(MenuId::Simulation, "Simulation1", {"&Simulation", "&Simulation"})
                .Of(MenuPart::Instructor));
        add(Item(MenuId::Simulation, ActionId::Freeze, "Anhalten1", {"Anhalten", "Freeze"})
                .Keys({Qt::Key_F9})
                .Checkable()
                .Of(MenuPart::Instructor));
        add(SubMenu(MenuId::Simulation, MenuId::Speed, "Geschwindigkeit1", {"Geschwindigkeit", "Speed"})
                .Of(MenuPart::Instructor));
        add(Choices(MenuId::Speed, ActionId::SpeedStep,
                    {std::begin(kSimulationSpeeds), std::end(kSimulationSpeeds)}, SpeedText, nullptr)
                .InGroup("speed")
                .Of(MenuPart::Instructor));
        add(Item(MenuId::Simulation, ActionId::SaveState, "ZustandSpeichern1",
                 {"Zustand speichern…", "Save state…"})
                .AfterSeparator()
                .Of(MenuPart::Instructor));
        add(Item(MenuId::Simulation, ActionId::LoadState, "ZustandLaden1", {"Zustand laden…", "Load state…"})
                .Of(MenuPart::Instructor));
        add(Item(MenuId::Simulation, ActionId::Rewind, "Zurueckspulen1", {"Zurückspulen…", "Rewind…"})
                .Of(MenuPart::Instructor));

        add(BarMenu(MenuId::Classroom, "Klassenraum1", {"&Klassenraum", "&Classroom"}).Of(MenuPart::Desktop));
        add(Item(MenuId::Classroom, ActionId::ClassroomJoinWithCode, "KlassenraumMitCode1",
                 {"Mit &Code beitreten…", "&Join with code…"})
                .Of(MenuPart::Desktop));
        add(Item(MenuId::Classroom, ActionId::ClassroomConnect, "KlassenraumVerbinden1",
                 {"&Verbinden…", "&Connect…"})
                .Of(MenuPart::Desktop));
        add(Item(MenuId::Classroom, ActionId::ClassroomDisconnect, "KlassenraumTrennen1",
                 {"&Trennen", "&Disconnect"})
                .Of(MenuPart::Desktop));
        add(Item(MenuId::Classroom, ActionId::InstructorStation, "Ausbilderstation1",
                 {"&Ausbilderstation…", "&Instructor station…"})
                .AfterSeparator()
                .Of(MenuPart::Desktop));

        // Keyboard reachable: Alt+H opens the menu, its letters choose.
        add(BarMenu(MenuId::Help, "Hilfe1", {"&Hilfe", "&Help"}));
        add(Item(MenuId::Help, ActionId::QuickGuide, "Kurzanleitung1", {"&Kurzanleitung", "&Quick guide"})
                .Keys({QKeySequence::HelpContents}));
        add(Item(MenuId::Help, ActionId::About, "Ueber1", {"Ü&ber", "&About"}));
        return r;
    }();
    return rows;
}

bool IsDevice(const Row& row) {
    return row.kind == Kind::DeviceMenu || row.kind == Kind::DeviceItem;
}

// The control of a device row, checked against the form: the same menu, every menu control placed.
const Control& DeviceControl(const FormState& form, const Row& row) {
    const Control* c = form.Find(row.name);
    std::string parent;
    for (const Row& menu : Rows())
        if (row.in && menu.kind == Kind::DeviceMenu && menu.menu == *row.in) parent = menu.name;
    if (!c || c->kind != ControlKind::MenuItem || c->parent != parent)
        throw std::logic_error(std::string("the menu bar places the form's ") + row.name + " elsewhere");
    return *c;
}

} // namespace

QString SpeedText(double rate) {
    return QStringLiteral("%1\u00D7").arg(rate);
}

MenuBar::MenuBar(QMenuBar& bar, const FormState& form) : bar_(bar), placed_(Rows().size()) {
    std::size_t deviceRows = 0;
    for (std::size_t i = 0; i < Rows().size(); ++i) {
        const Row& row = Rows()[i];
        if (!IsDevice(row)) continue;
        ++deviceRows;
        const Control& c = DeviceControl(form, row);
        QWidget& container = Container(i);
        QAction* item = nullptr;
        if (row.kind == Kind::DeviceMenu) {
            auto* menu = new QMenu(QString::fromStdString(c.caption), &container);
            menu->setObjectName(QString::fromLatin1(row.name));
            menus_[row.menu] = menu;
            item = menu->menuAction();
        } else {
            item = new QAction(QString::fromStdString(c.caption), &container);
            item->setObjectName(QString::fromLatin1(row.name));
            item->setCheckable(c.radioItem || row.checkable);
            if (c.radioItem) {
                QActionGroup*& group = groups_[c.parent];
                if (!group) group = new QActionGroup(&container);
                group->addAction(item);
            }
            deviceItems_.emplace_back(c.name, item);
        }
        items_[c.name] = item;
        container.addAction(item);
        placed_[i].push_back(item);
    }
    const auto& all = form.All();
    if (deviceRows != static_cast<std::size_t>(std::ranges::count_if(
                          all, [](const Control* c) { return c->kind == ControlKind::MenuItem; })))
        throw std::logic_error("the menu bar leaves out a menu item of the form");
}

MenuBar::~MenuBar() = default;

QWidget& MenuBar::Container(std::size_t row) const {
    const auto& in = Rows()[row].in;
    if (!in) return bar_;
    return *menus_.at(*in);
}

void MenuBar::Add(MenuPart part, Language language) {
    for (std::size_t i = 0; i < Rows().size(); ++i) {
        const Row& row = Rows()[i];
        if (row.part != part) continue;
        if (!IsDevice(row)) {
            Place(i);
        } else if (!row.keys.empty()) {
            placed_[i].front()->setShortcuts(QList<QKeySequence>(row.keys.begin(), row.keys.end()));
            placed_[i].front()->setShortcutContext(row.context);
        }
    }
    captioned_ = false;
    Retranslate(language);
}

// Put before the next entry of its menu that is there already, so the order is the table's whichever
// part comes first.
void MenuBar::Place(std::size_t index) {
    const Row& row = Rows()[index];
    QWidget& container = Container(index);
    QAction* before = nullptr;
    for (std::size_t i = index + 1; i < Rows().size() && !before; ++i)
        if (Rows()[i].in == row.in && !placed_[i].empty()) before = placed_[i].front();
    std::vector<QAction*>& placed = placed_[index];
    const auto put = [&](QAction* a) {
        container.insertAction(before, a);
        placed.push_back(a);
    };
    const auto setUp = [&](QAction* a, const QString& name) {
        a->setObjectName(name);
        a->setShortcuts(QList<QKeySequence>(row.keys.begin(), row.keys.end()));
        a->setShortcutContext(row.context);
        a->setCheckable(row.checkable);
        if (!row.group) return;
        QActionGroup*& group = groups_[row.group];
        if (!group) group = new QActionGroup(&bar_);
        group->addAction(a);
    };
    if (row.separatorBefore) {
        auto* separator = new QAction(&container);
        separator->setSeparator(true);
        put(separator);
    }
    switch (row.kind) {
    case Kind::Menu: {
        auto* menu = new QMenu(&container);
        menu->setObjectName(QString::fromLatin1(row.name));
        menus_[row.menu] = menu;
        put(menu->menuAction());
        break;
    }
    case Kind::Action: {
        auto* a = new QAction(&container);
        setUp(a, QString::fromLatin1(row.name));
        actions_[row.action] = {a};
        put(a);
        break;
    }
    case Kind::Choices:
        for (double value : row.values) {
            auto* a = new QAction(row.label(value), &container);
            setUp(a, row.name ? QString::fromLatin1(row.name).arg(value) : QString());
            a->setData(value);
            actions_[row.action].push_back(a);
            put(a);
        }
        break;
    case Kind::DeviceMenu:
    case Kind::DeviceItem:
        break;
    }
}

void MenuBar::Retranslate(Language language) {
    if (captioned_ && language == language_) return;
    captioned_ = true;
    language_ = language;
    for (std::size_t i = 0; i < Rows().size(); ++i) {
        const Row& row = Rows()[i];
        if (placed_[i].empty() || !row.caption.de) continue;
        const QString text =
            QString::fromUtf8(language == Language::German ? row.caption.de : row.caption.en);
        if (row.kind == Kind::Menu) menus_.at(row.menu)->setTitle(text);
        if (row.kind == Kind::Action) actions_.at(row.action).front()->setText(text);
    }
}

QAction* MenuBar::Action(ActionId id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second.front();
}

QMenu* MenuBar::Menu(MenuId id) const {
    const auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
}

const std::vector<QAction*>& MenuBar::Choices(ActionId id) const {
    static const std::vector<QAction*> none;
    const auto it = actions_.find(id);
    return it == actions_.end() ? none : it->second;
}

QAction* MenuBar::Item(const Control& control) const {
    const auto it = items_.find(control.name);
    return it == items_.end() ? nullptr : it->second;
}

} // namespace vp7
