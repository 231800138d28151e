// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "platform/VirtualClock.h"
#include "session/language/Output.h"
#include "session/script/Runner.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/LcdReadBack.h"
#include "support/RunScript.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/Player.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace vp7;

namespace {

// What a replay prints at a checkpoint: the display read back, the position and every diagnostic value.
std::vector<std::string> Checkpoint(const Simulator& sim) {
    const LcdReading lcd = ReadLcd(sim.image1);
    std::vector<std::string> lines = {"lcd " + QuoteText(lcd.upper) + ' ' + QuoteText(lcd.lower),
                                      "Istwert " + FormatReal(sim.state.Istwert)};
    for (int i = 0; i < Diagnostics::Count; ++i)
        lines.push_back("diag " + std::to_string(i) + ' ' +
                        std::to_string(sim.diagnostics.DiagTable[i].Value));
    return lines;
}

// What a randomly driven window recorded, and what it showed at each checkpoint.
struct DrivenWindow {
    QString path;
    std::string recording;
    std::vector<std::string> shown;   // the checkpoints' lines, one after the other
    std::vector<int> checkpointAfter; // recorded lines before each checkpoint
};

// How the window's time passes: on its own clock by waiting, or on a virtual clock advanced by hand.
struct Drive {
    const char* clock;
    bool virtualClock;
    int actions, checkpoints;
};

// The window recording into a file in `dir`, driven by a seeded random stream of clicks, holds,
// setpoints and options through the window, as the system delivers them, so the application knows the
// held button.
DrivenWindow DriveRandomly(const Drive& drive, const QTemporaryDir& dir) {
    DrivenWindow driven;
    driven.path = dir.filePath(QStringLiteral("session.vp7s"));
    const QString& path = driven.path;
    {
        VirtualClock virtualClock;
        AppWindows windows =
            CreateWindows(test::ProgramFolder(dir).toStdString(), 1,
                          drive.virtualClock ? &virtualClock : nullptr, {.recordPath = path.toStdString()});
        MainWindow& main = *windows.main;
        main.show();
        // On the virtual clock as the program does after each tick: the marks taken, the window's
        // events run.
        const auto pass = [&](int ms) {
            if (!drive.virtualClock) return QTest::qWait(ms);
            virtualClock.Advance(ms);
            main.AfterEvent();
            QCoreApplication::processEvents();
        };
        Simulator& sim = main.Sim();
        constexpr int kStartMs = 5000, kStepMs = 10;
        for (int waited = 0; !sim.DiagnosticTimer.Enabled() && waited < kStartMs; waited += kStepMs)
            pass(kStepMs);
        EXPECT_TRUE(main.Recording().Running());

        QWindow* window = main.windowHandle();
        const auto onPicture = [&](QPoint at) { return main.Picture()->mapTo(&main, at); };
        auto* entry = main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
        std::mt19937 random(20261207);
        const auto between = [&](int low, int high) {
            return std::uniform_int_distribution(low, high)(random);
        };
        const auto key = [](int k) { return QPoint(layout::KeyCentres[k].x, layout::KeyCentres[k].y); };
        for (int i = 1; i <= drive.actions; ++i) {
            const int what = between(0, 99);
            if (what < 45) { // a key pressed and released, now and then held long enough to repeat or switch
                const QPoint at = key(between(0, 2));
                QTest::mousePress(window, Qt::LeftButton, {}, onPicture(at));
                pass(what < 5 ? between(1500, 5500) : between(20, 400));
                QTest::mouseRelease(window, Qt::LeftButton, {}, onPicture(at));
            } else if (what < 55) {
                QTest::mouseClick(window, Qt::RightButton, {}, onPicture(key(between(0, 2))));
            } else if (what < 70) {
                entry->clear();
                QTest::keyClicks(entry, QString::number(between(0, 100)));
                QTest::keyClick(entry, Qt::Key_Return);
            } else if (what < 75) {
                static const char* const kOptions[] = {"FrictionSelect", "LeakageSelect", "BlockUpSelect"};
                main.findChild<QCheckBox*>(QString::fromLatin1(kOptions[between(0, 2)]))->click();
            } else if (what < 80) {
                QTest::mouseClick(window, Qt::LeftButton, {}, onPicture(QPoint(40, 80))); // binary input 1
            } else {
                QTest::mouseMove(window, onPicture(QPoint(between(0, 500), between(0, 600))));
            }
            if (i % (drive.actions / drive.checkpoints) == 0) {
                driven.checkpointAfter.push_back(static_cast<int>(test::Bytes(path).count('\n')));
                for (const std::string& line : Checkpoint(sim))
                    driven.shown.push_back(line);
            }
            pass(between(0, 250));
        }
    } // closing the window ends the recording
    driven.recording = test::Bytes(path).toStdString();
    return driven;
}

} // namespace

// A randomly driven window's recording, replayed by the runner on the simulated clock, shows the same
// display, position and diagnostic values at every checkpoint: each kind of input is recorded with
// the time between them. The long run goes on a virtual clock, which changes nothing the recording
// holds (it takes the window clock's time, whichever clock that is). A short run on the window's own
// clock holds as well: there ticks fall due while an input waits in the queue, and the replay matches
// only if the clock runs them before the input and stands still while it is handled.
TEST(Recording, AReplayOnTheSimulatedClockAndThePlayerMatchTheWindow) {
    const Drive drives[] = {
        {"virtual", true, 150, 10},
        {"the window's own", false, 16, 4},
    };
    for (const Drive& drive : drives) {
        SCOPED_TRACE(std::string("on the ") + drive.clock + " clock");
        const QTemporaryDir dir;
        const DrivenWindow driven = DriveRandomly(drive, dir);
        const std::vector<std::string> recorded = Runner::SplitLines(driven.recording);
        std::string script;
        std::size_t next = 0;
        for (int i = 0; i <= static_cast<int>(recorded.size()); ++i) {
            for (; next < driven.checkpointAfter.size() && driven.checkpointAfter[next] == i; ++next) {
                script += "print lcd\nprint Istwert\n";
                for (int d = 0; d < Diagnostics::Count; ++d)
                    script += "print diag " + std::to_string(d) + '\n';
            }
            if (i < static_cast<int>(recorded.size())) script += recorded[i] + '\n';
        }
        const QTemporaryDir replayDir;
        const auto replay = test::RunScript(script, replayDir.path().toStdString());
        ASSERT_EQ(replay.status, 0) << replay.err;
        const std::vector<std::string> replayed = Runner::SplitLines(replay.out);
        ASSERT_EQ(replayed.size(), driven.shown.size()) << replay.out;
        for (std::size_t i = 0; i < driven.shown.size(); ++i)
            EXPECT_EQ(replayed[i], driven.shown[i]) << "checkpoint " << i / (2 + Diagnostics::Count) + 1;
        if (!drive.virtualClock) continue;

        // Played in the window's player, with the user clicking on the played device to no effect, the
        // recording ends as the runner's replay of it does.
        std::ostringstream out, err;
        Runner plain(out, QTemporaryDir().path().toStdString());
        std::istringstream whole(driven.recording);
        ASSERT_EQ(plain.Run(whole, err), 0) << err.str();
        const auto player = OpenPlayer(nullptr, driven.path, false);
        ASSERT_TRUE(player);
        player->SetPaused(true);
        DeviceWindow& played = player->Window();
        const QPoint modeKey =
            played.Picture()->mapTo(&played, QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
        QTest::mouseClick(played.windowHandle(), Qt::LeftButton, {}, modeKey);
        player->PlayToEnd();
        EXPECT_TRUE(player->Finished());
        EXPECT_EQ(Checkpoint(played.Sim()), Checkpoint(*plain.Sim()));
    }
}
