// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtHost.h"
#include "ShownApp.h"
#include "ui/qt/QtClock.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace vp7;

// A name typed without its extension is completed before the dialog looks for the file, so the
// dialog's own overwrite question protects "a.vp7" when the user types "a".
TEST(QtHost, TheSaveDialogAsksBeforeOverwritingTheCompletedName) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::WriteFile(dir.filePath(QStringLiteral("a.vp7")), {}));

    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("a"));
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = true;
                box->button(QMessageBox::No)->click();
            }
        });
        QTest::keyClick(name, Qt::Key_Return);
        dialog->reject(); // declined: the dialog is still there, so leave it
    });
    QWidget window;
    QtHost host(&window);
    const auto chosen =
        host.SaveFileDialog("Konfigurationsdatei (*.vp7)|*.vp7", dir.path().toStdString(), "vp7");
    EXPECT_TRUE(asked);
    EXPECT_FALSE(chosen);
}

// Ticks already due when input arrives are run before it in due order, ties in arming order, as on the
// virtual clock: here the timer armed first lies higher in memory.
TEST(QtClock, TicksDueInTheSameMillisecondRunBeforeInputInArmingOrder) {
    QtClock clock;
    std::vector<std::string> log;
    Timer pair[2] = {{clock, "low", 5}, {clock, "high", 5}};
    for (Timer& t : pair)
        t.SetHandler([&log, &t] {
            t.SetEnabled(false);
            log.push_back(t.Name());
        });
    clock.BeginInput(); // time holds still, so both are due at the same millisecond
    pair[1].SetEnabled(true);
    pair[0].SetEnabled(true);
    clock.EndInput();
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // both due, their events still queued
    clock.BeginInput();
    clock.EndInput();
    EXPECT_EQ(log, (std::vector<std::string>{"high", "low"}));
}

// A stopped clock (its device is going) fires no timer again, however the timer was armed: before the
// stop, with its tick already queued, after it, or restored to a moment after it; and it tells of no
// next tick.
TEST(QtClock, AStoppedClockNeverFiresATimerAgain) {
    enum class Armed { BeforeStop, QueuedBeforeStop, AfterStop, RestoredAfterStop };
    constexpr int kIntervalMs = 5;
    for (const Armed armed :
         {Armed::BeforeStop, Armed::QueuedBeforeStop, Armed::AfterStop, Armed::RestoredAfterStop}) {
        QtClock clock;
        int fired = 0;
        Timer timer(clock, "t", kIntervalMs);
        timer.SetHandler([&fired] { ++fired; });
        if (armed == Armed::BeforeStop || armed == Armed::QueuedBeforeStop) timer.SetEnabled(true);
        if (armed == Armed::QueuedBeforeStop) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        clock.Stop();
        if (armed == Armed::AfterStop) timer.SetEnabled(true);
        if (armed == Armed::RestoredAfterStop) timer.Restore(true, kIntervalMs, clock.NowMs() + kIntervalMs);
        test::RunEvents(50);
        clock.BeginInput();
        clock.EndInput();
        EXPECT_EQ(fired, 0) << static_cast<int>(armed);
        EXPECT_FALSE(clock.NextTick(timer)) << static_cast<int>(armed);
    }
}
