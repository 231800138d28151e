// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/KeyboardHelp.h"

#include "model/PictureLayout.h"
#include "sim/Simulator.h"
#include "sim/operation/KeyInput.h"
#include "ui/device/DeviceView.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace vp7 {
namespace {

struct Words {
    const char* de;
    const char* en;
    const char* In(bool german) const { return german ? de : en; }
};

// Per device key: its name, its keys as listed, its keys as spoken, and its keys with Shift.
struct KeyWords {
    Words name, keys, spoken, shifted;
};
const KeyWords kKeys[3] = {
    {{"Modustaste", "Mode key"},
     {"M, Leertaste", "M, Space"},
     {"M, Leertaste", "M, Space"},
     {"Umschalt+M, Umschalt+Leertaste", "Shift+M, Shift+Space"}},
    {{"Minustaste", "Decrease key"},
     {"\u2212, \u2190", "\u2212, \u2190"},
     {"Minus, Pfeil links", "minus, Left arrow"},
     {"Umschalt+\u2212, Umschalt+\u2190", "Shift+\u2212, Shift+\u2190"}},
    {{"Plustaste", "Increase key"},
     {"+, \u2192", "+, \u2192"},
     {"Plus, Pfeil rechts", "plus, Right arrow"},
     {"Umschalt+\u2192, Umschalt und + im Ziffernblock", "Shift+\u2192, Shift and + on the keypad"}},
};

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString WindowText(bool german) {
    const auto t = [german](const char* de, const char* en) { return Q(german ? de : en); };
    QString rows;
    for (const KeyWords& k : kKeys)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(Q(k.name.In(german)), Q(k.keys.In(german)), Q(k.shifted.In(german)));
    return t("<p>Die Tasten des Geräts auf der Tastatur, solange das Hauptfenster den Fokus hat:</p>",
             "<p>The device's keys on the keyboard, while the main window has the focus:</p>") +
           QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\"><tr><th>%1</th><th>%2</th>"
                          "<th>%3</th></tr>%4</table>")
               .arg(t("Gerät", "Device"), t("Tastatur", "Keyboard"),
                    t("mit Umschalt (rechte Maustaste)", "with Shift (right mouse button)"), rows) +
           t("<p>Eine gehaltene Taste ist am Gerät gehalten wie die Maustaste: die Modustaste 5 s halten "
             "öffnet und verlässt die Konfiguration, gehalten wiederholen \u2212 und + und werden "
             "schneller. Umschalt mit einer Taste rastet sie ein (der rote Kreis); in der Konfiguration "
             "geht Umschalt mit der Modustaste zum vorherigen Parameter.</p>"
             "<p>Leertaste und Pfeiltasten wirken, solange das Gerätebild den Fokus hat (ein Klick darauf "
             "oder Tab; ein gepunkteter Rahmen zeigt ihn), M, \u2212 und + auch bei einem Kontrollkästchen "
             "oder Knopf. Das Sollwertfeld behält alle seine Tasten. Verlässt der Fokus das Fenster, wird "
             "eine gehaltene Taste losgelassen.</p>",
             "<p>A key held down is held on the device, as the mouse button is: hold the mode key 5 s to "
             "enter or leave the configuration; held, \u2212 and + repeat and speed up. Shift with a key "
             "latches it (the red circle); in the configuration Shift with the mode key goes to the "
             "previous parameter.</p>"
             "<p>Space and the arrow keys act while the device picture has the focus (click on it or Tab to "
             "it; a dotted frame shows it), M, \u2212 and + also while a check box or button has it. The "
             "setpoint field keeps all its keys. Focus leaving the window lets go of a held key.</p>");
}

// The menu item, its window and the hover help's keyboard line, in the window's language.
class KeyboardHelp : public QObject {
public:
    KeyboardHelp(DeviceView& view, QAction& item) : QObject(&view), view_(view) {
        connect(&item, &QAction::triggered, this, [this] { ShowWindow(); });
        connect(&view, &DeviceView::FormChanged, this, [this] { FormChanged(); });
        FormChanged();
    }

private:
    bool German() const { return view_.Sim().state.Language == Language::German; }

    void FormChanged() {
        if (const bool german = German(); german != german_) {
            german_ = german;
            if (dialog_) Translate();
        }
        AddKeyboardLine();
    }

    void ShowWindow() {
        if (!dialog_) {
            dialog_ = new QDialog(view_.window());
            dialog_->setObjectName(QStringLiteral("KeyboardWindow"));
            dialog_->setAttribute(Qt::WA_DeleteOnClose);
            auto* layout = new QVBoxLayout(dialog_);
            text_ = new QLabel(dialog_);
            text_->setWordWrap(true);
            text_->setTextFormat(Qt::RichText);
            text_->setFixedWidth(480);
            layout->addWidget(text_);
            auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog_);
            connect(buttons, &QDialogButtonBox::rejected, dialog_, &QDialog::close);
            layout->addWidget(buttons);
            Translate();
        }
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
    }

    void Translate() {
        dialog_->setWindowTitle(Q(german_ ? "Tastatur" : "Keyboard"));
        text_->setText(WindowText(german_));
        dialog_->adjustSize();
    }

    // The device's own help of a key stays as it is; the keyboard's keys go on a line of their own
    // under it, the label still ending where the device placed its right edge.
    void AddKeyboardLine() {
        const Simulator& sim = view_.Sim();
        const Control& c = sim.form.HelpText;
        if (!c.visible || c.text.empty() || c.top != layout::HelpKeysRow) return;
        const DeviceKey key = KeyInput::KeyAt(sim.MouseX, sim.MouseY);
        auto* label = view_.findChild<QLabel*>(QStringLiteral("HelpText"));
        if (key == DeviceKey::None || !label) return;
        const bool german = German();
        label->setText(
            label->text() + QStringLiteral("\n ") + Q(german ? "Tastatur: " : "Keyboard: ") +
            Q(kKeys[KeyIndex(key)].keys.In(german)) +
            Q(german ? "; mit Umschalt wie rechte Maustaste " : "; with Shift as the right button "));
        label->adjustSize();
        const int width = std::max(c.width, label->width());
        label->setGeometry(c.left + c.width - width, c.top, width, label->height());
    }

    DeviceView& view_;
    QPointer<QDialog> dialog_;
    QLabel* text_ = nullptr;
    bool german_ = false;
};

} // namespace

QString KeyAccessibleName(DeviceKey key, bool german) {
    const KeyWords& k = kKeys[KeyIndex(key)];
    return Q(k.name.In(german)) + QStringLiteral(" (") + Q(k.spoken.In(german)) + QLatin1Char(')');
}

void AddKeyboardHelp(DeviceView& view, QAction& item) {
    new KeyboardHelp(view, item);
}

} // namespace vp7
