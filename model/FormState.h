// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controls as the simulation sees them: captions, check marks, selected items, texts,
// visibility. The library writes them and tells the host; the desktop front end copies them into its
// widgets, and the headless runner prints and sets them by their component names.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class StateVisitor;

enum class ControlKind {
    CheckBox,
    RadioButton,
    RadioGroup,
    Group,
    Edit,
    Button,
    Label,
    StaticText,
    Shape,
    Image,
    MenuItem
};

enum class CursorShape { Standard, Cross, Hand };

// The parameter table window's place and whether it is shown at start.
struct ParTabState {
    void DoState(StateVisitor& v);
    bool operator==(const ParTabState&) const = default;
    int left = 10, top = 63, height = 409;
    bool checked = false; // shown (and shown at the next start)
    bool visible = false;
    bool placing = false; // set while the start-up places the window
    std::string caption = "Parameter-Tabelle";
    std::vector<std::array<std::string, 2>> rows; // the grid, header row first
};

// The setpoint scale dialog's edit texts and captions, and the screen check dialog's.
struct ScaleDialogState {
    void DoState(StateVisitor& v);
    bool operator==(const ScaleDialogState&) const = default;
    std::string caption, label1, label2, label3, cancelCaption;
    std::string setpoint100Edit, setpoint0Edit;
};
struct ScreenCheckState {
    void DoState(StateVisitor& v);
    bool operator==(const ScreenCheckState&) const = default;
    std::array<std::string, 5> lines;
    std::string continueCaption, closeCaption, checkCaption;
    bool checked = true;
};

// The main window's client area (its outer size is 1025 x 768 with frame and menu).
constexpr int kClientWidth = 1017, kClientHeight = 715;

// The initialization info window: a tool window of its own that accompanies the procedure.
struct InitInfoState {
    void DoState(StateVisitor& v);
    bool operator==(const InitInfoState&) const = default;
    bool visible = false;
    int left = 180, top = 30;
    std::string runStatusLabel = "Status", runDiscrLabel = "Erklärungen", runErrorLabel = "Fehler";
    std::string runToDoLabel = "Maßnahmen", runKeyLabel = "Tasten", runFunctionLabel = "Funktion";
    std::string currentRunText = " Run 1";
    std::vector<std::string> runLines; // the explanation, one entry a line
    std::string errorText, measureText, keyText;
    std::string pauseCaption = "Pause";
};

struct Control {
    void DoState(StateVisitor& v);
    bool operator==(const Control&) const = default;
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string parent;                           // enclosing group or menu, empty for the window itself
    int left = 0, top = 0, width = 0, height = 0; // relative to the parent, as the form places it
    std::string caption;
    std::vector<std::string> items; // radio group items
    std::string text;               // edit and label text
    bool checked = false;           // check box, radio button, menu item
    int itemIndex = -1;             // radio group
    bool visible = true;
    bool enabled = true;
    bool radioItem = false; // a menu item that belongs to a radio group of items
};

class FormState {
public:
    FormState();
    FormState(const FormState&) = delete;
    FormState& operator=(const FormState&) = delete;

    Control* Find(std::string_view name);
    const Control* Find(std::string_view name) const;
    // Every control in creation order (parents before their children).
    const std::vector<Control*>& All() const { return all_; }
    // Every control's fields and the small windows' contents, for a snapshot.
    void DoState(StateVisitor& v);

    std::string title;
    bool maximized = false;
    InitInfoState initInfo;
    ParTabState parTab;
    ScaleDialogState scaleDialog;
    ScreenCheckState screenCheck;
    CursorShape cursor = CursorShape::Standard;

    Control ControllerSelect, OptionsSelect, AlarmModulSelect, StromModulSelect;
    Control DrosselSelect, StaticText1, StaticText2, StaticText3, StaticText4;
    Control ZorizOptions, NoPreasureSelect, BlockDownSelect, BlockUpSelect, FrictionSelect, LeakageSelect;
    Control SelfClosingSelect, SelfOpeningSelect, DoubleActingSelect;
    // Fault effects beyond the device's own model (off by default); its state is kept behind the rest
    // of a snapshot, so a device without it saves what it saved before.
    Control ExtendedFaultsSelect;
    Control HorizLeverError, InitErrorSelect, BottomEndError, TopEndError, MoveRangeError;
    Control HilfeOben, HilfeUnten, HelpText;
    Control SetpointRampButton, SetpointRampSelect, SetpointDimSelect, Label13, SetPointText, SetpointButton;
    Control HelpSelect, HelpOthers, HelpKeys;
    Control Image1, Image2, Strom_mA, StaticUmschalt, StaticKleiner, StaticGroesser, Label1, Label2, Label3,
        Label4;

    // Main menu
    Control Datei1, Konfigurationladen1, Konfigurationspeichern1;
    Control Extras1, ParameterTabelle1, Sprache1, Deutsch1, English1;
    Control Mauszeiger1, MausStandard, MausKreuz, MausHand, ExtraCheckScreen;

private:
    std::vector<Control*> all_;
};

const char* ControlKindName(ControlKind k);

} // namespace vp7
