// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PictureLayout.h"
#include "ui/ExerciseSession.h"
#include "ui/MainWindow.h"
#include "ui/PictureWidget.h"
#include "ui/Player.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

constexpr char kExercise[] = R"(title "Handbetrieb" "Manual mode"
task "Schalten Sie in den Handbetrieb." "Switch to manual mode."
ini Config CheckScreen 0
start
set LeakageSelect 1
hide LeakageSelect
lock FrictionSelect
check Mode = 1 "Handbetrieb" "Manual mode"
check Istwert within 0 100 "Stellung gültig" "Position valid"
question "Was leckt?" "What leaks?"
choice "Nichts" "Nothing"
choice "Der Antrieb" "The actuator" correct
)";

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The exercise's device shows its panel and keeps the hidden and locked controls from the trainee; the
// trainee's work is handed in and judged, and the report and the recording lie in the data folder.
TEST(Exercise, IsWorkedOnHandedInAndReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("manual.vp7x"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kExercise);
    }
    auto scratch = std::make_unique<QTemporaryDir>();
    auto read = ReadExercise(kExercise, scratch->filePath(QStringLiteral("check")).toStdString());
    ASSERT_TRUE(std::holds_alternative<Exercise>(read)) << std::get<ScriptProblem>(read).reason;
    ExerciseSession session(std::move(std::get<Exercise>(read)), path, QStringLiteral("Anna B."),
                            dir.path().toStdString(), std::move(scratch), false);
    MainWindow& window = session.Window();
    ASSERT_TRUE(window.Recording());
    EXPECT_EQ(session.Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTitle"))->text(), "Manual mode");
    EXPECT_TRUE(
        session.Panel()->findChild<QLabel*>(QStringLiteral("ExerciseTasks"))->text().contains("Switch"));
    EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("LeakageSelect"))->isVisible());
    EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("FrictionSelect"))->isEnabled());

    QTest::qWait(200); // the start-up tick, after which the scene is set
    EXPECT_TRUE(window.Sim().form.LeakageSelect.checked);
    QTest::mouseClick(window.Picture(), Qt::LeftButton, {},
                      QPoint(layout::KeyCentres[0].x, layout::KeyCentres[0].y));
    for (std::size_t i = 0; i < window.Trend().Events().Size(); ++i) // the hidden fault leaves no mark
        EXPECT_NE(window.Trend().Events()[i].kind, TrendEventKind::Option);
    const ExerciseResult& result = session.HandIn(1);
    EXPECT_EQ(result.Passed(), 3);
    EXPECT_EQ(result.Total(), 3);

    EXPECT_TRUE(Bytes(session.ReportPath() + ".html").contains("Anna B."));
    EXPECT_TRUE(Bytes(session.ReportPath() + ".pdf").startsWith("%PDF"));
    const QByteArray recording = Bytes(session.RecordingPath());
    EXPECT_TRUE(recording.contains("\nexercise " + QFileInfo(path).absoluteFilePath().toUtf8() + "\n"));
    EXPECT_TRUE(recording.contains("\ndown 378 356 left\n"));

    // The recording plays the session in the window's player, the exercise's scene included.
    const auto player = OpenPlayer(nullptr, session.RecordingPath(), false);
    ASSERT_TRUE(player);
    player->SetPaused(true);
    player->PlayToEnd();
    const Simulator& played = player->Window().Sim();
    EXPECT_EQ(played.state.Mode, Mode::Manual);
    EXPECT_EQ(played.state.Istwert, window.Sim().state.Istwert);
    EXPECT_TRUE(played.form.LeakageSelect.checked);
}
