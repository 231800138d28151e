// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownApp.h"
#include "model/PictureLayout.h"
#include "session/script/Output.h"
#include "session/script/Runner.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/display/LcdReadBack.h"
#include "support/RunScript.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/Player.h"

#include <QCheckBox>
#include <QElapsedTimer>
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

} // namespace

// The window on the real clock, driven by a seeded random stream of clicks, holds, setpoints and
// options, is recorded; the recording replayed by the runner on the simulated clock shows the same
// display, position and diagnostic values at every checkpoint.
TEST(Recording, AReplayOnTheSimulatedClockMatchesTheWindow) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.vp7s"));
    std::vector<std::string> expected;
    std::vector<int> checkpointAfter; // recorded lines before each checkpoint
    {
        AppWindows windows = CreateWindows(test::ProgramFolder(dir).toStdString(), 1, nullptr,
                                           {.recordPath = path.toStdString()});
        MainWindow& main = *windows.main;
        main.show();
        Simulator& sim = main.Sim();
        QElapsedTimer started;
        started.start();
        while (!sim.DiagnosticTimer.Enabled() && started.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(main.Recording());

        // Through the window, as the system delivers them, so the application knows the held button.
        QWindow* window = main.windowHandle();
        const auto onPicture = [&](QPoint at) { return main.Picture()->mapTo(&main, at); };
        auto* entry = main.findChild<QLineEdit*>(QStringLiteral("SetPointText"));
        std::mt19937 random(20261207);
        const auto between = [&](int low, int high) {
            return std::uniform_int_distribution(low, high)(random);
        };
        const auto key = [](int k) { return QPoint(layout::KeyCentres[k].x, layout::KeyCentres[k].y); };
        constexpr int kActions = 150, kCheckpoints = 10;
        for (int i = 1; i <= kActions; ++i) {
            const int what = between(0, 99);
            if (what < 45) { // a key pressed and released, now and then held long enough to repeat or switch
                const QPoint at = key(between(0, 2));
                QTest::mousePress(window, Qt::LeftButton, {}, onPicture(at));
                QTest::qWait(what < 5 ? between(1500, 5500) : between(20, 400));
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
            if (i % (kActions / kCheckpoints) == 0) {
                checkpointAfter.push_back(static_cast<int>(test::Bytes(path).count('\n')));
                for (const std::string& line : Checkpoint(sim))
                    expected.push_back(line);
            }
            QTest::qWait(between(0, 250));
        }
    } // closing the window ends the recording

    const std::string recording = test::Bytes(path).toStdString();
    const std::vector<std::string> recorded = Runner::SplitLines(recording);
    std::string script;
    std::size_t next = 0;
    for (int i = 0; i <= static_cast<int>(recorded.size()); ++i) {
        for (; next < checkpointAfter.size() && checkpointAfter[next] == i; ++next) {
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
    ASSERT_EQ(replayed.size(), expected.size()) << replay.out;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(replayed[i], expected[i]) << "checkpoint " << i / (2 + Diagnostics::Count) + 1;

    // Played in the window's player, with the user clicking on the played device to no effect, the
    // recording ends as the runner's replay of it does.
    std::ostringstream out, err;
    Runner plain(out, QTemporaryDir().path().toStdString());
    std::istringstream whole(recording);
    ASSERT_EQ(plain.Run(whole, err), 0) << err.str();
    const auto player = OpenPlayer(nullptr, path, false);
    ASSERT_TRUE(player);
    player->SetPaused(true);
    MainWindow& played = player->Window();
    const QPoint modeKey =
        played.Picture()->mapTo(&played, QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
    QTest::mouseClick(played.windowHandle(), Qt::LeftButton, {}, modeKey);
    player->PlayToEnd();
    EXPECT_TRUE(player->Finished());
    EXPECT_EQ(Checkpoint(played.Sim()), Checkpoint(*plain.Sim()));
}
