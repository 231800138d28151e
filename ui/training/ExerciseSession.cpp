// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/ExerciseSession.h"

#include "formats/AtomicFile.h"
#include "platform/FileRead.h"
#include "platform/Sha256.h"
#include "session/SavedState.h"
#include "session/script/ReadExercise.h"
#include "sim/Simulator.h"
#include "ui/device/DeviceWindow.h"
#include "ui/device/SessionOwner.h"
#include "ui/qt/Messages.h"
#include "ui/qt/OwnFiles.h"
#include "ui/qt/SteeredQtClock.h"
#include "ui/qt/Zoom.h"
#include "ui/training/DeviceRecording.h"
#include "ui/training/DeviceTrend.h"
#include "ui/training/TrendWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace vp7 {
namespace {

// An exercise is a page of text; anything far larger is not one.
constexpr std::uintmax_t kExerciseMaxBytes = 1u << 20;
constexpr int kPanelWidth = 300;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A name fit for a file name on every system: letters, digits, '-' and '_'.
QString FileNamePart(const QString& text) {
    QString out;
    for (const QChar c : text)
        out += c.isLetterOrNumber() || c == QLatin1Char('-') ? c : QLatin1Char('_');
    return out.left(40);
}

const QString kRecordingSuffix = QStringLiteral(".vp7s");
const QString kHtmlSuffix = QStringLiteral(".html");
const QString kPdfSuffix = QStringLiteral(".pdf");

// "Data/commissioning_Anna_2026-12-07_14-05-09": the recording and the report share it. A hand-in of
// the same name in the same second takes "…_14-05-09-2": the recording is created here, so that
// neither replaces the other's.
QString SessionRecordingPath(const std::string& dataDir, const QString& exercisePath,
                             const QString& trainee) {
    const QString stem =
        QDir(Q(dataDir))
            .filePath(FileNamePart(QFileInfo(exercisePath).completeBaseName()) + QLatin1Char('_') +
                      FileNamePart(trainee) + QLatin1Char('_') +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    const QString taken = CreateNumberedFiles(stem, {kRecordingSuffix}, {kHtmlSuffix, kPdfSuffix});
    return (taken.isEmpty() ? stem : taken) + kRecordingSuffix; // else the recording says it cannot be made
}

std::string ProgramFolder(const QTemporaryDir& scratch) {
    return scratch.filePath(QStringLiteral("device")).toStdString();
}

} // namespace

ExerciseSession::ExerciseSession(Exercise exercise, std::optional<PlayScript> state, const QString& path,
                                 const QString& trainee, const std::string& dataDir,
                                 std::unique_ptr<QTemporaryDir> scratch, bool german,
                                 std::optional<uint64_t> seed)
    : scratch_(std::move(scratch)), exercise_(std::move(exercise)), state_(std::move(state)),
      exerciseName_(QFileInfo(path).fileName()), trainee_(trainee),
      recordingPath_(SessionRecordingPath(dataDir, path, trainee)),
      reportPath_(recordingPath_.chopped(kRecordingSuffix.size())), german_(german), seed_(seed),
      runner_(discarded_, ProgramFolder(*scratch_), clock_, unused_), window_(StartDevice(path)) {
    exercisePath_ = QFileInfo(path).absoluteFilePath().toStdString();
    exerciseSha256_ = Sha256OfFile(exercisePath_, kExerciseMaxBytes).value_or("");
    DeviceWindow& window = *window_;
    trend_ = OpenTrendWindow(window);
    trend_->SetSaveFolder(Q(dataDir)); // the device's own folder goes with the exercise
    window.Restrict(runner_.RunningExercise().Hidden(), runner_.RunningExercise().Locked());
    recording_->KeepForExercise();
    BuildPanel();
    window.installEventFilter(this);
    seconds_.setInterval(1000);
    connect(&seconds_, &QTimer::timeout, this, [this] { ShowTime(); });
    seconds_.start();
    window.show();
    // The panel made the window wider than it was designed: it is placed anew to lie on the screen.
    if (const QScreen* screen = window.screen()) {
        const QRect free = screen->availableGeometry();
        QRect frame = window.frameGeometry();
        frame.moveCenter(free.center());
        window.move(std::max(free.left(), frame.left()), std::max(free.top(), frame.top()));
    }
    if (!recording_->Running())
        ShowPlainMessage(&window, QMessageBox::Warning,
                         QString::fromUtf8(Text("Die Sitzung kann nicht aufgezeichnet werden:\n",
                                                "The session cannot be recorded:\n")) +
                             recordingPath_);
}

// The result dialog goes with the windows, after the members declared later: its end must not reach
// them. The clock stops first: no tick may reach the device while it goes.
ExerciseSession::~ExerciseSession() {
    ended_ = true;
    StopDevice();
}

// The exercise's settings, then its device: attached to the runner before it starts, its scene set
// right after the form was created, recorded from there on; or, from a saved state, its scene set and
// its recording begun once the state has played.
std::unique_ptr<DeviceWindow> ExerciseSession::StartDevice(const QString& path) {
    if (state_) {
        // The state replays on the clock driven by hand, its dialogs answered from its lines and
        // unrecorded; saves the state made go to the scratch folder, never over the user's files.
        clock_.BeginReplay(0);
        const QString files = scratch_->filePath(QStringLiteral("replayed"));
        QDir().mkpath(files);
        unused_.KeepFilesIn(files.toStdString());
    }
    try {
        // The device speaks the panel's language, whatever the exercise's settings or its state say.
        runner_.Execute(german_ ? "ini Config Sprache Deutsch" : "ini Config Sprache English");
        // The room's seed stands over the exercise's and its state's own: the recording's `seed` line
        // is the station's.
        if (seed_) runner_.Execute("seed " + std::to_string(*seed_));
        runner_.RunExerciseSettings(exercise_, [this] {
            if (state_)
                for (const std::string& line : state_->setup)
                    runner_.Execute(line);
        });
    } catch (const std::runtime_error&) {
        // Checked before: the same lines ran without fault.
    }
    const std::string startLine = "exercise " + QFileInfo(path).absoluteFilePath().toStdString();
    SessionMode mode{.randomSeed = runner_.RandomSeed(),
                     .beforeStart = [this](Simulator& sim) { runner_.Attach(sim); }};
    if (state_)
        mode.script = &unused_;
    else {
        mode.recordPath = recordingPath_.toStdString();
        mode.afterCreate = [this] { runner_.PrepareExercise(exercise_); };
        mode.startLine = startLine;
    }
    sessions_ = std::make_unique<SessionOwner>(ProgramFolder(*scratch_), PictureScale(), &clock_);
    auto window = std::make_unique<DeviceWindow>(*sessions_, PictureScale(), mode);
    recording_ = new DeviceRecording(*window);
    window->Begin(mode, [this, &mode] {
        if (!mode.recordPath.empty())
            recording_->Start(mode.recordPath, mode.startLine, std::nullopt);
        else
            recording_->Show();
    });
    if (state_) PlayState(*window, startLine);
    return window;
}

// The state's timed lines, played on the clock driven by hand; the scene is set and the recording
// begins where they end.
void ExerciseSession::PlayState(DeviceWindow& window, const std::string& startLine) {
    runner_.FinishStart();
    PlayAfterStart(
        runner_, *state_, [this](int64_t ms) { clock_.ReplayUntil(ms); }, discarded_);
    window.Host().PlayFrom(nullptr);
    clock_.EndReplay();
    runner_.PrepareStartedExercise(exercise_);
    recording_->Start(recordingPath_.toStdString(), startLine, window.Sim().clock.NowMs());
    window.AfterEvent();
}

int64_t ExerciseSession::ElapsedMs() const {
    return runner_.RunningExercise().ElapsedMs(clock_.NowMs());
}

void ExerciseSession::BuildPanel() {
    auto* dock = new QDockWidget(window_.get());
    dock->setObjectName(QStringLiteral("ExercisePanel"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWindowTitle(QString::fromUtf8(Text("Übung", "Exercise")));
    panel_ = new QWidget(dock);
    panel_->setFixedWidth(kPanelWidth);
    auto* layout = new QVBoxLayout(panel_);
    // What the exercise and the trainee wrote is shown as written, never as markup.
    auto* title = new QLabel(Q(exercise_.title.In(german_)), panel_);
    title->setObjectName(QStringLiteral("ExerciseTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);
    title->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 15px;"));
    layout->addWidget(title);
    auto* who = new QLabel(QString::fromUtf8(Text("Name: ", "Name: ")) + trainee_, panel_);
    who->setObjectName(QStringLiteral("ExerciseTrainee"));
    who->setTextFormat(Qt::PlainText);
    layout->addWidget(who);
    QString tasks = QStringLiteral("<ol style=\"margin-left: -20px\">");
    for (const BilingualText& task : exercise_.tasks)
        tasks += QStringLiteral("<li>") + Q(task.In(german_)).toHtmlEscaped() + QStringLiteral("</li>");
    auto* list = new QLabel(tasks + QStringLiteral("</ol>"), panel_);
    list->setObjectName(QStringLiteral("ExerciseTasks"));
    list->setWordWrap(true);
    list->setTextFormat(Qt::RichText);
    layout->addWidget(list);
    time_ = new QLabel(panel_);
    time_->setObjectName(QStringLiteral("ExerciseTime"));
    layout->addWidget(time_);
    layout->addStretch();
    // The trainer's freeze, as the program's own (F9): the time stands while the class listens.
    freeze_ = new QPushButton(QString::fromUtf8(Text("Anhalten (F9)", "Freeze (F9)")), panel_);
    freeze_->setObjectName(QStringLiteral("FreezeExercise"));
    freeze_->setCheckable(true);
    freeze_->setShortcut(QKeySequence(Qt::Key_F9));
    // Clicked, not toggled: the room's freeze checks it too, and is no click of the trainee's.
    connect(freeze_, &QPushButton::clicked, this, [this](bool on) { Steer(on, FreezeAsker::WindowUser); });
    layout->addWidget(freeze_);
    auto* handIn = new QPushButton(QString::fromUtf8(Text("Abgeben", "Hand in")), panel_);
    handIn->setObjectName(QStringLiteral("HandIn"));
    connect(handIn, &QPushButton::clicked, this, [this] { HandIn(); });
    layout->addWidget(handIn);
    abandon_ = new QPushButton(QString::fromUtf8(Text("Übung abbrechen", "Abandon exercise")), panel_);
    abandon_->setObjectName(QStringLiteral("AbandonExercise"));
    connect(abandon_, &QPushButton::clicked, this, [this] { Abandon(); });
    layout->addWidget(abandon_);
    dock->setWidget(panel_);
    window_->addDockWidget(Qt::RightDockWidgetArea, dock);
    ShowTime();
}

void ExerciseSession::ShowTime() {
    if (clock_.Frozen()) return; // the panel says so until it goes on
    const std::optional<int64_t> timeLeft = runner_.RunningExercise().TimeLeftMs(clock_.NowMs());
    if (!timeLeft) {
        time_->setText(QString::fromUtf8(Text("Zeit: ", "Time: ")) + Q(MinutesSeconds(ElapsedMs())));
        return;
    }
    const int64_t left = *timeLeft;
    time_->setText(QString::fromUtf8(Text("Verbleibende Zeit: ", "Time left: ")) + Q(MinutesSeconds(left)));
    if (left > 0) {
        // The last second ends at the limit, not up to a second after it.
        seconds_.start(
            static_cast<int>(std::clamp<double>(static_cast<double>(left) / clock_.Rate(), 1, 1000)));
        return;
    }
    if (result_ || judged_) return;
    // Judged at the limit: what the trainee does while the notice and the question are open counts not.
    Judge();
    QMessageBox::information(window_.get(), QApplication::applicationDisplayName(),
                             QString::fromUtf8(Text("Die Zeit ist um; die Übung wird abgegeben.",
                                                    "Time is up; the exercise is handed in.")));
    HandIn();
}

std::optional<int> ExerciseSession::AskQuestion() {
    const ExerciseQuestion& question = *exercise_.question;
    QDialog dialog(window_.get());
    dialog.setWindowTitle(QString::fromUtf8(Text("Frage", "Question")));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(Q(question.text.In(german_)), &dialog);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* group = new QButtonGroup(&dialog);
    for (int i = 0; i < static_cast<int>(question.choices.size()); ++i) {
        auto* choice = new QRadioButton(Q(question.choices[i].In(german_)), &dialog);
        group->addButton(choice, i);
        layout->addWidget(choice);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(group, &QButtonGroup::idClicked, buttons,
            [buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(true); });
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || group->checkedId() < 0) return std::nullopt;
    return group->checkedId();
}

// The work as it stands now: the time taken (at most the limit), the checks, the recording ended there.
void ExerciseSession::Judge() {
    seconds_.stop();
    ExerciseResult r = runner_.RunningExercise().Judge(
        clock_.NowMs(), [this](const std::string& expression) { return runner_.Evaluate(expression); });
    r.trainee = trainee_.toStdString();
    r.exerciseFile = exerciseName_.toStdString();
    r.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    r.recordingFile = QFileInfo(recordingPath_).fileName().toStdString();
    recording_->Stop();
    r.exercisePath = exercisePath_;
    r.exerciseSha256 = exerciseSha256_;
    r.recordingPath = QFileInfo(recordingPath_).absoluteFilePath().toStdString();
    r.recordingSha256 = Sha256OfFile(r.recordingPath, kRecordingMaxBytes).value_or("");
    judged_ = std::move(r);
    window_->Form()->setEnabled(false); // handed in: the device is only shown
}

// Judged first, the question after: the time the question takes counts not.
const ExerciseResult& ExerciseSession::HandIn(std::optional<int> choice) {
    if (result_) return *result_;
    if (!judged_) Judge();
    if (!choice && exercise_.question) {
        handingIn_ = true; // the question runs a loop of its own: a hand-in from the room waits
        choice = AskQuestion();
        handingIn_ = false;
        if (result_) return *result_; // handed in from the room meanwhile
    }
    judged_->chosen = choice;
    result_ = std::move(*judged_);
    panel_->setEnabled(false);
    emit HandedIn();
    ShowResult(WriteReports(ReportHtml(*result_, german_)));
    return *result_;
}

int ExerciseSession::ChecksHolding() {
    return runner_.ChecksHolding();
}

void ExerciseSession::SetFrozen(bool frozen) {
    Steer(frozen, FreezeAsker::Instructor);
}

void ExerciseSession::Steer(bool frozen, FreezeAsker asker) {
    const bool was = clock_.Frozen();
    // The keyboard's held key is the window's to let go (it shows it held); the session's freeze lets
    // go of a button still down.
    if (frozen && !was) window_->LetGoOfKeys();
    SteeredQtClock steered(clock_, window_->Sim());
    recording_->SteerFreeze(steered.Steer(), frozen, asker);
    frozen = clock_.Frozen();
    freeze_->setChecked(frozen); // another's hold outlasts the trainee's continue
    if (frozen == was) return;
    if (frozen) window_->AfterEvent();
    // Frozen, the device is only shown, as after handing in; the panel says why.
    window_->Form()->setEnabled(!frozen && !judged_ && !result_);
    for (QPushButton* button : panel_->findChildren<QPushButton*>())
        if (button != freeze_) button->setEnabled(!frozen);
    panel_->setEnabled(!result_);
    if (frozen)
        time_->setText(QString::fromUtf8(Text("Angehalten", "Frozen")));
    else
        ShowTime();
}

// The room's exercise is the instructor's: frozen by the room alone, and handed in, not abandoned.
void ExerciseSession::TakeFromRoom() {
    fromRoom_ = true;
    freeze_->hide();
    freeze_->setEnabled(false); // and F9 with it
    abandon_->hide();
    abandon_->setEnabled(false);
}

void ExerciseSession::SetSpeed(double rate) {
    SteeredQtClock(clock_, window_->Sim()).Steer().SetSpeed(rate);
}

void ExerciseSession::SetHiddenOption(const std::string& control, bool on) {
    DeviceWindow& window = *window_;
    runner_.SetHiddenOption(control, on, &window.CurrentSession().Trend());
    window.Restrict(runner_.RunningExercise().Hidden(), runner_.RunningExercise().Locked());
    window.AfterEvent();
}

// The report as an HTML page and as a PDF of the same page, both new files (a report put there meanwhile
// under the recording's name is kept: the next number is taken); the text of what could not be written.
QString ExerciseSession::WriteReports(const std::string& html) {
    QStringList failed;
    const QString taken = CreateNumberedFiles(reportPath_, {kHtmlSuffix, kPdfSuffix});
    if (!taken.isEmpty()) reportPath_ = taken;
    const QString htmlPath = reportPath_ + kHtmlSuffix;
    if (taken.isEmpty() || !WriteFileAtomically(htmlPath.toStdString(), html)) failed << htmlPath;
    const QString pdfPath = reportPath_ + kPdfSuffix;
    QSaveFile pdf(pdfPath);
    bool written = false;
    if (!taken.isEmpty() && pdf.open(QIODevice::WriteOnly)) {
        {
            QPdfWriter writer(&pdf);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setTitle(Q(result_->exercise.In(german_)));
            writer.setCreator(QApplication::applicationDisplayName());
            QTextDocument document;
            document.setHtml(Q(html));
            document.print(&writer);
        }
        written = FinishWriting(pdf);
    }
    if (!written) failed << pdfPath;
    // The empty files made for a report that could not be written go again.
    for (const QString& path : failed)
        if (QFileInfo(path).size() == 0) QFile::remove(path);
    return failed.join(QLatin1Char('\n'));
}

void ExerciseSession::ShowResult(const QString& writeError) {
    auto* dialog = new QDialog(window_.get());
    dialog->setObjectName(QStringLiteral("ExerciseResult"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QString::fromUtf8(Text("Ergebnis", "Result")));
    dialog->resize(620, 520);
    auto* layout = new QVBoxLayout(dialog);
    auto* report = new QTextBrowser(dialog);
    report->setHtml(Q(ReportHtml(*result_, german_)));
    layout->addWidget(report);
    auto* saved = new QLabel(dialog);
    saved->setObjectName(QStringLiteral("ReportSaved"));
    saved->setTextFormat(Qt::PlainText);
    saved->setWordWrap(true);
    saved->setText(
        writeError.isEmpty()
            ? QString::fromUtf8(Text("Der Bericht wurde gespeichert:\n", "The report was saved:\n")) +
                  reportPath_ + QStringLiteral(".html / .pdf")
            : QString::fromUtf8(
                  Text("Der Bericht kann nicht geschrieben werden:\n", "The report cannot be written:\n")) +
                  writeError);
    if (!writeError.isEmpty()) saved->setStyleSheet(QStringLiteral("color: #b00000;"));
    layout->addWidget(saved);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    connect(dialog, &QObject::destroyed, this, [this] { End(); });
    dialog->show();
}

// An exercise from the room is the instructor's to end while the room holds the device: neither its
// button nor closing its window lets the trainee out of it.
void ExerciseSession::Abandon() {
    if (result_) return End();
    if (recording_->RefusedByRoom()) return;
    const auto answer =
        QMessageBox::question(window_.get(), QApplication::applicationDisplayName(),
                              QString::fromUtf8(Text("Die Übung abbrechen? Es wird kein Bericht geschrieben.",
                                                     "Abandon the exercise? No report is written.")));
    if (answer != QMessageBox::Yes) return;
    recording_->Stop();
    End();
}

void ExerciseSession::End() {
    if (ended_) return;
    ended_ = true;
    seconds_.stop();
    emit Ended();
}

// Closing the exercise's window abandons it, after asking; the device in the scratch folder is not asked
// whether to save.
bool ExerciseSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_.get() || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    if (!ended_) Abandon();
    if (!ended_) event->ignore();
    return true;
}

namespace {

struct ReadyExercise {
    Exercise exercise;
    std::optional<PlayScript> state;
    std::unique_ptr<QTemporaryDir> scratch;
};

// The exercise at `path` read and checked, with the state it starts from; why not, when not.
std::variant<ReadyExercise, QString> ReadyToStart(const QString& path, bool german) {
    const auto t = [german](const char* de, const char* en) { return QString::fromUtf8(german ? de : en); };
    const auto text = ReadWholeFile(path.toStdString(), kExerciseMaxBytes);
    if (!text) return t("Die Datei kann nicht gelesen werden.", "The file cannot be read.");
    auto scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) return scratch->errorString();
    const auto problemText = [](const ScriptProblem& problem) {
        return QStringLiteral("error %1: %2").arg(problem.line).arg(Q(problem.reason));
    };
    auto read = ReadExercise(*text, scratch->filePath(QStringLiteral("check")).toStdString(),
                             QFileInfo(path).absolutePath().toStdString());
    if (const auto* problem = std::get_if<ScriptProblem>(&read)) return problemText(*problem);
    ReadyExercise ready{std::move(std::get<Exercise>(read)), std::nullopt, std::move(scratch)};
    if (!ready.exercise.state.empty()) {
        // Checked with the exercise just now; read again for its lines and their moments.
        const Exercise& exercise = ready.exercise;
        const auto stateText = ReadWholeFile(exercise.state, kRecordingMaxBytes);
        if (!stateText) return problemText({exercise.stateLine, "cannot read " + exercise.state});
        auto played =
            ReadPlayScript(*stateText, ready.scratch->filePath(QStringLiteral("state")).toStdString());
        if (const auto* problem = std::get_if<ScriptProblem>(&played))
            return problemText(
                {exercise.stateLine,
                 exercise.state + " line " + std::to_string(problem->line) + ": " + problem->reason});
        ready.state = std::move(std::get<PlayScript>(played));
    }
    return ready;
}

} // namespace

std::unique_ptr<ExerciseSession> OpenExercise(QWidget* parent, const QString& path,
                                              const std::string& programDir, const std::string& dataDir,
                                              bool german) {
    const auto t = [german](const char* de, const char* en) { return QString::fromUtf8(german ? de : en); };
    QString chosen = path;
    if (chosen.isEmpty()) {
        const QDir shipped(Q(programDir) + QStringLiteral("/Exercises"));
        chosen = QFileDialog::getOpenFileName(
            parent, t("Übung öffnen", "Open exercise"), shipped.exists() ? shipped.path() : Q(dataDir),
            t("Übung (*.vp7x);;Alle Dateien (*)", "Exercise (*.vp7x);;All files (*)"));
    }
    if (chosen.isEmpty()) return nullptr;
    auto read = ReadyToStart(chosen, german);
    if (const auto* why = std::get_if<QString>(&read)) {
        ShowPlainMessage(parent, QMessageBox::Critical,
                         t("Die Übung kann nicht geöffnet werden:\n", "The exercise cannot be opened:\n") +
                             chosen + QStringLiteral("\n\n") + *why);
        return nullptr;
    }
    QString trainee;
    while (trainee.trimmed().isEmpty()) {
        bool ok = false;
        trainee =
            QInputDialog::getText(parent, t("Übung", "Exercise"), t("Name des Übenden:", "Trainee's name:"),
                                  QLineEdit::Normal, {}, &ok);
        if (!ok) return nullptr;
    }
    ReadyExercise& ready = std::get<ReadyExercise>(read);
    return std::make_unique<ExerciseSession>(std::move(ready.exercise), std::move(ready.state), chosen,
                                             trainee.trimmed(), dataDir, std::move(ready.scratch), german);
}

std::variant<std::unique_ptr<ExerciseSession>, QString>
StartExerciseFor(const QString& path, const QString& trainee, const std::string& dataDir, bool german,
                 std::optional<uint64_t> seed) {
    auto read = ReadyToStart(path, german);
    if (auto* why = std::get_if<QString>(&read)) return std::move(*why);
    ReadyExercise& ready = std::get<ReadyExercise>(read);
    return std::make_unique<ExerciseSession>(std::move(ready.exercise), std::move(ready.state), path, trainee,
                                             dataDir, std::move(ready.scratch), german, seed);
}

} // namespace vp7
