// The main window against its layout: every control at its place with its caption and start state,
// and the device keys reached by clicks at window coordinates.
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SplashPicture.h"
#include "ShownApp.h"

#include "device/Splash.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

struct Expected {
    const char* name;
    int left, top, width, height; // window coordinates; width 0: not checked
    const char* caption;          // nullptr: not checked
    bool visible;
    int state; // check mark 0/1, or the selected item of a radio group; -1: not checked
};

QString Caption(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return {};
}

int State(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->isChecked() ? 1 : 0;
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        const auto items = g->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked()) return i;
    }
    return -1;
}

} // namespace

TEST(Layout, ControlsSitWhereTheWindowWasDesigned) {
    vp7::test::ShownApp app;
    app.main.Sim().UserClick(app.main.Sim().form.Deutsch1); // the captions as the window was designed
    QWidget* client = app.main.centralWidget();
    const Expected table[] = {
        {"ControllerSelect", 8, 8, 121, 81, "Stellungsregler", true, 0},
        {"OptionsSelect", 152, 8, 145, 81, "Optionen", true, -1},
        {"AlarmModulSelect", 160, 24, 0, 0, "Alarmmodul", true, 0},
        {"StromModulSelect", 160, 46, 0, 0, "Jy-Modul", true, 0},
        {"DrosselSelect", 8, 104, 185, 97, "Drossel", true, 0},
        {"StaticText1", 144, 121, 0, 0, "(100%)", true, -1},
        {"StaticText4", 144, 177, 0, 0, "(20%)", true, -1},
        {"ZorizOptions", 8, 224, 225, 305, "Simulations-Optionen", true, -1},
        {"NoPreasureSelect", 16, 240, 0, 0, "Keine Druckluft", true, 0},
        {"LeakageSelect", 16, 336, 0, 0, "Leckage", true, 0},
        {"SelfClosingSelect", 16, 360, 0, 0, "Ventil selbstschließend", true, 0},
        {"DoubleActingSelect", 16, 396, 0, 0, "Ventil doppelwirkend", true, 1},
        {"HorizLeverError", 56, 416, 169, 17, "Waagrechter Hebelarm", false, 0},
        {"InitErrorSelect", 56, 429, 0, 0, "Initialisierungs-Fehler", true, -1},
        {"BottomEndError", 56, 448, 0, 0, "Anschlag unten", true, 0},
        {"MoveRangeError", 56, 496, 0, 0, "Spanne unterschritten", true, 0},
        {"HilfeOben", 248, 232, 0, 0, nullptr, false, -1},
        {"HelpText", 248, 292, 0, 0, nullptr, false, -1},
        {"SetpointRampButton", 256, 320, 75, 25, "Start", false, -1},
        {"SetpointRampSelect", 248, 352, 113, 105, "Sollwertrampe", false, 0},
        {"SetpointDimSelect", 248, 472, 113, 57, "Sollwerteingang", true, 0},
        {"Label13", 248, 540, 0, 0, "Sollwert", true, -1},
        {"SetPointText", 248, 558, 73, 24, "0", true, -1},
        {"SetpointButton", 328, 553, 49, 35, nullptr, true, -1},
        {"HelpSelect", 8, 568, 113, 73, "Hilfe für", true, -1},
        {"HelpKeys", 16, 592, 0, 0, "Tasten", true, 0},
        {"HelpOthers", 16, 616, 0, 0, "Sonstiges", true, 0},
        {"Image1", 384, 0, 624, 697, nullptr, true, -1},
        {"StaticUmschalt", 755, 347, 17, 17, nullptr, false, -1},
        {"StaticGroesser", 859, 347, 17, 17, nullptr, false, -1},
        {"Strom_mA", 0, 0, 0, 0, nullptr, false, -1},
    };
    for (const Expected& e : table) {
        auto* w = client->findChild<QWidget*>(QString::fromLatin1(e.name));
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_EQ(w->mapTo(client, QPoint(0, 0)), QPoint(e.left, e.top)) << e.name;
        if (e.width) {
            EXPECT_EQ(w->size(), QSize(e.width, e.height)) << e.name;
        }
        if (e.caption) {
            EXPECT_EQ(Caption(w), QString::fromUtf8(e.caption)) << e.name;
        }
        EXPECT_EQ(w->isVisible(), e.visible) << e.name;
        if (e.state >= 0) {
            EXPECT_EQ(State(w), e.state) << e.name;
        }
    }
}

TEST(Layout, ClicksAtWindowCoordinatesReachTheDeviceKeys) {
    vp7::test::ShownApp app;
    QWidget* client = app.main.centralWidget();
    const auto clickAt = [&](QPoint at) {
        QWidget* target = client->childAt(at);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, at));
    };
    const SimState& s = app.main.Sim().state;
    clickAt({384 + 378, 356}); // mode key: manual
    EXPECT_EQ(s.Mode, 1);
    clickAt({384 + 480, 356}); // increase key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.1);
    clickAt({384 + 428, 356}); // decrease key
    EXPECT_DOUBLE_EQ(s.ManuellTarget, 0.0);
}

TEST(Layout, OurSplashPicturePassesTheCheck) {
    EXPECT_TRUE(Splash::Passes(DrawSplashPicture()));
}
