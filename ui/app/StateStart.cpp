// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/StateStart.h"

#include "formats/IniFile.h"
#include "platform/FileRead.h"
#include "platform/ScriptedAnswers.h"
#include "session/SavedState.h"
#include "session/SnapshotSession.h"
#include "session/StateFile.h"
#include "session/script/BacktrackReplay.h"
#include "session/script/RecordingLines.h"
#include "session/script/Runner.h"
#include "sim/Snapshot.h"
#include "sim/files/Settings.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/MainWindow.h"
#include "ui/qt/OwnFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

#include <sstream>

namespace vp7 {
namespace {

QString Argument(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

// Where the settings file lies that the device will read: the first of the folders the device tries
// (SettingsBases: never an installed program's own) that can hold "Config" and "Data".
std::string SettingsFolder(const std::string& programDir) {
    const std::string user = UserDataDir();
    for (const std::string& base : SettingsBases(programDir, user)) {
        const QDir dir(QString::fromStdString(base));
        const QStringList subfolders{QStringLiteral("Config"), QStringLiteral("Data")};
        const bool usable = std::ranges::all_of(subfolders, [&dir](const QString& sub) {
            return dir.mkpath(sub) && QFileInfo(dir.filePath(sub)).isWritable();
        });
        if (usable) return base;
    }
    return user;
}

// A saved state's lines played into a device on a clock driven by hand: the lines before the start
// first, the rest once the device was created and attached. The state's settings lines go to a
// settings file of its own, which the device starts from (SettingsFile): nothing of this PC's settings
// gets into the state, nor the state's into this PC's settings file.
class StateReplay {
public:
    explicit StateReplay(const PlayScript& script)
        : clock_(std::make_unique<QtClock>()), replayed_(*clock_), script_(script) {
        replayed_.BeginReplay(0);
        // Saves the state made go to the scratch folder: a replay never writes over the user's files.
        const QString files = scratch_.filePath(QStringLiteral("Files"));
        QDir().mkpath(files);
        answers_.KeepFilesIn(files.toStdString());
        runner_ = std::make_unique<Runner>(discarded_, scratch_.path().toStdString(), replayed_, answers_);
        try {
            for (const std::string& line : script.setup)
                runner_->Execute(line);
        } catch (const std::runtime_error&) {
            // Checked before: the same lines ran without fault in the same order.
        }
    }
    QtClock& Clock() { return replayed_; }
    std::string SettingsFile() const {
        return scratch_.filePath(QStringLiteral("Config/VP7.ini")).toStdString();
    }
    std::unique_ptr<QtClock> TakeClock() { return std::move(clock_); }
    ScriptedAnswers& Answers() { return answers_; }
    std::optional<uint64_t> RandomSeed() const { return runner_->RandomSeed(); }
    void Attach(Simulator& sim) { runner_->Attach(sim); }
    // The lines after the start, up to the state's end; then the dialogs are the user's again and real
    // time takes over.
    void Finish(QtHost& host) {
        runner_->FinishStart();
        PlayAfterStart(
            *runner_, script_, [this](int64_t ms) { replayed_.ReplayUntil(ms); }, discarded_);
        host.PlayFrom(nullptr);
        replayed_.EndReplay();
    }

private:
    std::unique_ptr<QtClock> clock_;
    QtClock& replayed_;
    const PlayScript& script_;
    QTemporaryDir scratch_;
    ScriptedAnswers answers_;
    std::ostringstream discarded_;
    std::unique_ptr<Runner> runner_;
};

// The session goes on from the state's end: in the recording it was read from, or in the log.
void GoOn(MainWindow& main, InstructorControls& instructor, const CheckedState& state,
          const std::string& recordPath) {
    if (!recordPath.empty())
        main.Recording().Continue(recordPath, {state.script.endMs, RecordingLengthMs(state.text)});
    else
        instructor.ContinueLog(state.text, state.script.endMs);
    main.AfterEvent();
}

AppWindows StartFromState(const std::string& programDir, bool german, const CheckedState& state,
                          const std::string& recordPath) {
    StateReplay replay(state.script);
    AppWindows w = CreateProgramWindows(programDir, PictureScale(), german, &replay.Clock(),
                                        {.script = &replay.Answers(),
                                         .randomSeed = replay.RandomSeed(),
                                         .beforeStart = [&replay](Simulator& sim) { replay.Attach(sim); },
                                         .settingsFrom = replay.SettingsFile()});
    w.clock = replay.TakeClock();
    replay.Finish(w.main->Host());
    GoOn(*w.main, *w.instructor, state, recordPath);
    return w;
}

std::optional<CheckedState> RefuseState(QWidget* parent, const QString& path, const QString& why,
                                        bool german) {
    RefuseFile(parent,
               german ? QStringLiteral("Der Zustand kann nicht geladen werden:")
                      : QStringLiteral("The state cannot be loaded:"),
               path, why);
    return std::nullopt;
}

} // namespace

std::optional<CheckedState> ReadStateFile(QWidget* parent, const QString& path,
                                          std::optional<uint8_t> variant, const std::string& settingsPath,
                                          bool german) {
    auto text = ReadWholeFile(path.toStdString(), kRecordingMaxBytes);
    if (!text) return RefuseState(parent, path, UnreadableFileText(german), german);
    return CheckStateText(parent, path, std::move(*text), variant, settingsPath, german);
}

std::optional<CheckedState> CheckStateText(QWidget* parent, const QString& path, std::string text,
                                           std::optional<uint8_t> variant, const std::string& settingsPath,
                                           bool german) {
    const auto refuse = [&](const QString& why) { return RefuseState(parent, path, why, german); };
    const auto atLine = [german](int line, const std::string& reason) {
        const QString text = QString::fromStdString(reason);
        if (line <= 0) return text;
        return (german ? QStringLiteral("Zeile %1: %2") : QStringLiteral("line %1: %2")).arg(line).arg(text);
    };
    if (const auto refusal = CheckSavedState(text, variant, ProgramVersion()))
        return refuse(atLine(refusal->line, refusal->Text(german)));
    if (IniFile::PresentButUnreadable(settingsPath))
        return refuse(QString::fromStdString(UnreadableSettings(settingsPath).Text(german)));
    QTemporaryDir scratch;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto read = ReadPlayScript(text, scratch.filePath(QStringLiteral("check")).toStdString());
    QApplication::restoreOverrideCursor();
    if (const auto* problem = std::get_if<ScriptProblem>(&read))
        return refuse(atLine(problem->line, problem->reason));
    return CheckedState{std::move(text), std::move(std::get<PlayScript>(read))};
}

void ShowStateInPlace(MainWindow& main, InstructorControls& instructor, const CheckedState& state,
                      const std::string& recordPath) {
    StateReplay replay(state.script);
    std::unique_ptr<Session> session =
        main.NewSession(replay.TakeClock(), replay.RandomSeed(), replay.SettingsFile());
    replay.Attach(session->Sim());
    main.Host().PlayFrom(&replay.Answers());
    session->Start();
    replay.Finish(main.Host());
    main.TakeSession(std::move(session));
    GoOn(main, instructor, state, recordPath);
}

bool RewindFromBacktrack(MainWindow& main, InstructorControls& instructor, BacktrackReplay from,
                         std::string cut, int64_t ms, const std::string& recordPath) {
    StateReplay replay(from.script);
    std::unique_ptr<Session> session = main.NewSession(replay.TakeClock(), std::nullopt);
    replay.Attach(session->Sim());
    main.Host().PlayFrom(&replay.Answers());
    session->Start();
    if (RestoreSnapshot(session->Sim(), from.backtrack.snapshot)) {
        main.Host().PlayFrom(nullptr);
        return false;
    }
    session->Trend().ContinueFrom(main.Trend());
    replay.Finish(main.Host());
    session->Backtracked() = main.CurrentSession().Backtracked();
    session->Backtracked().KeepUpTo(ms);
    main.TakeSession(std::move(session));
    GoOn(main, instructor, CheckedState{std::move(cut), std::move(from.script)}, recordPath);
    return true;
}

bool IsSnapshotState(const QString& path) {
    const auto start = ReadFileStart(path.toStdString(), kSnapshotMagicBytes);
    return start && IsSnapshotFile(*start);
}

bool ShowSnapshotInPlace(MainWindow& main, InstructorControls& instructor, const QString& path, bool german) {
    const auto refuse = [&](const QString& why) {
        RefuseState(&main, path, why, german);
        return false;
    };
    const auto text = ReadWholeFile(path.toStdString(), kRecordingMaxBytes);
    if (!text) return refuse(UnreadableFileText(german));
    return ShowSnapshotInPlace(main, instructor, *text, path, german);
}

std::variant<SnapshotSession, StateRefusal> SessionForWindow(MainWindow& main, std::string_view bytes) {
    return SessionFromSnapshot(bytes, main.Sim().state.ControllerType, [&main] {
        return main.NewSession(std::make_unique<QtClock>(), std::nullopt);
    });
}

void ShowSessionInPlace(MainWindow& main, InstructorControls& instructor, SnapshotSession loaded) {
    main.TakeSession(std::move(loaded.session));
    instructor.ContinueLog(loaded.recording, main.Sim().clock.NowMs());
    main.AfterEvent();
}

bool ShowSnapshotInPlace(MainWindow& main, InstructorControls& instructor, std::string_view bytes,
                         const QString& shownAs, bool german) {
    auto made = SessionForWindow(main, bytes);
    if (const auto* refusal = std::get_if<StateRefusal>(&made)) {
        RefuseState(&main, shownAs, QString::fromStdString(refusal->Text(german)), german);
        return false;
    }
    ShowSessionInPlace(main, instructor, std::move(std::get<SnapshotSession>(made)));
    return true;
}

AppWindows StartProgram(const std::string& programDir, bool desktopGerman, const QStringList& arguments,
                        const std::string& recordPath) {
    const QString path = Argument(arguments, QStringLiteral("--state"));
    std::optional<CheckedState> state;
    const bool snapshot = !path.isEmpty() && IsSnapshotState(path);
    if (!path.isEmpty() && !snapshot)
        state = ReadStateFile(nullptr, path, std::nullopt, SettingsFolder(programDir) + "/Config/VP7.ini",
                              desktopGerman);
    std::string record = recordPath;
    const QString unrecordable = UnrecordableReason(QString::fromStdString(record), desktopGerman);
    if (!record.empty() && !unrecordable.isEmpty()) {
        RefuseFile(nullptr,
                   desktopGerman ? QStringLiteral("Die Sitzung kann nicht aufgezeichnet werden:")
                                 : QStringLiteral("The session cannot be recorded:"),
                   QString::fromStdString(record), unrecordable);
        record.clear();
    }
    if (state) return StartFromState(programDir, desktopGerman, *state, record);
    AppWindows w =
        CreateProgramWindows(programDir, PictureScale(), desktopGerman, nullptr, {.recordPath = record});
    if (snapshot) ShowSnapshotInPlace(*w.main, *w.instructor, path, desktopGerman);
    return w;
}

} // namespace vp7
