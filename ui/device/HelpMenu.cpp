// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/HelpMenu.h"

#include "session/SavedState.h"
#include "sim/Simulator.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/DeviceWindow.h"
#include "ui/device/MenuBar.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <qcustomplot.h>

namespace vp7 {
namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString AboutText(bool german) {
    const auto t = [german](const char* de, const char* en) { return Q(german ? de : en); };
    QString qt = QStringLiteral(QT_VERSION_STR);
    if (qt != QLatin1String(qVersion()))
        qt += t(" (läuft mit Qt %1)", " (running with Qt %1)").arg(qVersion());
    return QStringLiteral("<h3>%1</h3><p>Version %2</p><p>%3</p><p>%4</p><p>%5</p>")
        .arg(t("KELDAR VP7 Nachbildung", "KELDAR VP7 Simulator"), QString::fromLatin1(ProgramVersion()),
             t("Ein Simulator des elektropneumatischen Stellungsreglers KELDAR VP7 für die Ausbildung: "
               "seine drei Tasten drücken, die Anzeige und den Kolben beobachten, die Konfiguration "
               "durchgehen, die Initialisierung laufen lassen, die Diagnosewerte lesen und Störungen "
               "herbeiführen – ganz ohne echtes Gerät.",
               "A training simulator of the KELDAR VP7 electropneumatic valve positioner: press its three "
               "keys, watch its display and the piston, walk through the configuration, run the "
               "initialization, read the diagnostics and provoke faults — without a real device."),
             t("Freie Software unter der GNU General Public License, Version 3 oder (nach Ihrer Wahl) "
               "jeder späteren Version: Sie dürfen sie nach deren Bedingungen weitergeben und verändern. "
               "Sie kommt OHNE JEDE GEWÄHRLEISTUNG. <a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">"
               "Die Lizenz</a>",
               "Free software under the GNU General Public License, version 3 or (at your option) any "
               "later version: you may pass it on and change it under its terms. It comes with ABSOLUTELY "
               "NO WARRANTY. <a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">The licence</a>"),
             t("Gebaut mit Qt %1 (GNU LGPL 3) und QCustomPlot %2 (GNU GPL 3).",
               "Built with Qt %1 (GNU LGPL 3) and QCustomPlot %2 (GNU GPL 3).")
                 .arg(qt, QStringLiteral(QCUSTOMPLOT_VERSION_STR)));
}

// The quick guide in the language: doc/quick-guide.en.md, or its German translation.
QString QuickGuideMarkdown(bool german) {
    QFile file(german ? QStringLiteral(":/guide/de.md") : QStringLiteral(":/guide/en.md"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The menu and its two windows, made when first asked for and translated whenever the language changes.
class HelpMenu : public QObject {
public:
    explicit HelpMenu(DeviceWindow& window) : QObject(&window), window_(window) {
        const MenuBar& menus = window.Menus();
        connect(menus.Action(ActionId::QuickGuide), &QAction::triggered, this,
                [this] { Show(guide_, &HelpMenu::MakeGuide); });
        connect(menus.Action(ActionId::About), &QAction::triggered, this,
                [this] { Show(about_, &HelpMenu::MakeAbout); });
        connect(&window, &DeviceWindow::FormChanged, this, [this] { Retranslate(); });
        Retranslate();
    }

private:
    void Retranslate() {
        const bool german = window_.Sim().state.Language == Language::German;
        if (translated_ && german == german_) return;
        translated_ = true;
        german_ = german;
        if (guide_) TranslateGuide();
        if (about_) TranslateAbout();
    }

    void Show(QPointer<QDialog>& dialog, void (HelpMenu::*make)()) {
        if (!dialog) (this->*make)();
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }

    // A window of the device window's with `body` over a Close button.
    QDialog* MakeDialog(const char* name, QWidget* body) {
        auto* dialog = new QDialog(&window_);
        dialog->setObjectName(QLatin1String(name));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
        auto* column = new QVBoxLayout(dialog);
        column->addWidget(body);
        column->addWidget(buttons);
        return dialog;
    }

    void MakeGuide() {
        guideText_ = new QTextBrowser;
        guideText_->setObjectName(QStringLiteral("QuickGuideText"));
        guideText_->setOpenLinks(false);
        guide_ = MakeDialog("QuickGuideWindow", guideText_);
        const QFontMetrics metrics(guide_->font());
        guide_->resize(metrics.averageCharWidth() * 110, metrics.height() * 42);
        TranslateGuide();
    }

    void TranslateGuide() {
        guide_->setWindowTitle(Q(german_ ? "Kurzanleitung" : "Quick guide"));
        guideText_->setMarkdown(QuickGuideMarkdown(german_));
    }

    void MakeAbout() {
        auto* body = new QWidget;
        auto* row = new QHBoxLayout(body);
        row->setContentsMargins(0, 0, 0, 0);
        auto* icon = new QLabel;
        icon->setPixmap(ProgramIcon().pixmap(64, 64));
        icon->setAlignment(Qt::AlignTop);
        aboutText_ = new QLabel;
        aboutText_->setObjectName(QStringLiteral("AboutText"));
        aboutText_->setWordWrap(true);
        aboutText_->setTextFormat(Qt::RichText);
        aboutText_->setOpenExternalLinks(true);
        aboutText_->setTextInteractionFlags(Qt::TextBrowserInteraction);
        aboutText_->setFixedWidth(QFontMetrics(aboutText_->font()).averageCharWidth() * 70);
        row->addWidget(icon);
        row->addWidget(aboutText_);
        about_ = MakeDialog("AboutWindow", body);
        TranslateAbout();
    }

    void TranslateAbout() {
        about_->setWindowTitle(Q(german_ ? "Über KELDAR VP7 Nachbildung" : "About KELDAR VP7 Simulator"));
        aboutText_->setText(AboutText(german_));
        about_->adjustSize();
    }

    DeviceWindow& window_;
    QPointer<QDialog> guide_, about_;
    QTextBrowser* guideText_ = nullptr;
    QLabel* aboutText_ = nullptr;
    bool german_ = false, translated_ = false;
};

} // namespace

void AddHelpMenu(DeviceWindow& window) {
    new HelpMenu(window);
}

} // namespace vp7
