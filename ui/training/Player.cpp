// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/Player.h"

#include "model/PictureLayout.h"
#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/exercise/ExerciseReport.h"
#include "session/language/ScriptWords.h"
#include "session/script/ReadExercise.h"
#include "sim/Simulator.h"
#include "ui/device/DeviceWindow.h"
#include "ui/device/Dialogs.h"
#include "ui/device/InitInfoWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/DeviceInput.h"
#include "ui/training/DeviceTrend.h"
#include "ui/training/TrendWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

namespace vp7 {

namespace {

constexpr int kFrameMs = 20;
constexpr int kMessageShownMs = 4000;
constexpr int kMarkRadius = 9;
// The played windows lie this far right of and below the user's, not hiding them.
constexpr int kBesideOffset = 40;

std::string PlayFolder(const QTemporaryDir& scratch) {
    return scratch.filePath(QStringLiteral("play")).toStdString();
}

} // namespace

// Where the recorded pointer is: a ring, filled while a button is held. It lies over the device
// picture and lets every mouse event through.
class PointerMark : public QWidget {
public:
    explicit PointerMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        resize(2 * kMarkRadius + 2, 2 * kMarkRadius + 2);
        hide();
    }
    bool Pressed() const { return pressed_; }
    void Place(int x, int y, bool pressed, const FormZoom& zoom) {
        pressed_ = pressed;
        move(zoom(QPoint(layout::PictureInWindow.x + x, layout::PictureInWindow.y + y)) -
             QPoint(width() / 2, height() / 2));
        show();
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 200, 0), 2));
        p.setBrush(pressed_ ? QColor(230, 0, 0, 170) : Qt::NoBrush);
        p.drawEllipse(QPointF(width() / 2.0, height() / 2.0), kMarkRadius, kMarkRadius);
    }

private:
    bool pressed_ = false;
};

Player::Player(PlayScript script, std::unique_ptr<QTemporaryDir> scratch, const QString& name)
    : scratch_(std::move(scratch)), script_(std::move(script)), name_(name),
      runner_(discarded_, PlayFolder(*scratch_), clock_, answers_), window_(StartDevice()) {
    trend_ = OpenTrendWindow(*window_);
    runner_.FinishStart();
    if (exerciseState_) {
        PlayAfterStart(
            runner_, *exerciseState_,
            [this](int64_t ms) { clock_.Advance(std::max<int64_t>(0, ms - clock_.NowMs())); }, discarded_);
        runner_.PrepareStartedExercise(*exercise_);
    }
    DeviceWindow& window = *window_;
    window.Host().OnPlayedMessage(
        [this](const std::string& text, MsgButton answer) { ShowMessage(text, answer); });
    // The played device's trend is opened from the bar; its shortcut stays with the user's window.
    window.Menus().Action(ActionId::Trend)->setShortcut({});
    mark_ = new PointerMark(window.Form());
    BuildBar();
    connect(&window, &DeviceWindow::FormChanged, this, [this] {
        const QString title = window_->DeviceTitle() + QStringLiteral(" \u2013 ") + name_;
        if (window_->windowTitle() != title) window_->setWindowTitle(title);
        if (mark_->isVisible()) mark_->raise();
    });
    window.AfterEvent();
    qApp->installEventFilter(this);

    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, [this] { Tick(); });
    messageShown_.setSingleShot(true);
    messageShown_.setInterval(kMessageShownMs);
    connect(&messageShown_, &QTimer::timeout, this, [this] { message_->clear(); });
    window.show();
    window.move(window.pos() + QPoint(kBesideOffset, kBesideOffset));
    SetPaused(false);
}

void Player::PlaceTrendBeside(const TrendSettings& user, const QString& folder) {
    trend_->move(QPoint(user.left, user.top) + QPoint(kBesideOffset, kBesideOffset));
    trend_->SetSaveFolder(folder);
}

// The recording's settings and seed, then the device's windows, the script attached before they start.
// An exercise's session starts as the exercise does: its settings (and its saved state's), and its scene
// set right after the form was created (or once the state has played).
std::unique_ptr<DeviceWindow> Player::StartDevice() {
    answers_.KeepFilesIn(scratch_->filePath(QStringLiteral("play/Files")).toStdString());
    if (Runner::CommandName(script_.start) == "exercise") ReadStartingExercise();
    try {
        for (const std::string& line : script_.setup)
            runner_.Execute(line);
        // The exercise spoke the language the recording's settings name; the recording's seed stands.
        if (exercise_)
            runner_.RunExerciseSettings(*exercise_, [this] {
                if (exerciseState_)
                    for (const std::string& line : exerciseState_->setup)
                        runner_.Execute(line);
            });
    } catch (const std::runtime_error&) {
        // Checked before: the same lines ran without fault in the same order.
    }
    const SessionMode mode{.script = &answers_,
                           .randomSeed = runner_.RandomSeed(),
                           .beforeStart = [this](Simulator& sim) { runner_.Attach(sim); },
                           .afterCreate =
                               [this] {
                                   if (exercise_ && !exerciseState_) runner_.PrepareExercise(*exercise_);
                               }};
    sessions_ = std::make_unique<SessionOwner>(PlayFolder(*scratch_), PictureScale(), &clock_);
    auto window = std::make_unique<DeviceWindow>(*sessions_, PictureScale(), mode);
    window->Begin(mode);
    return window;
}

// The exercise a recorded exercise session began with, and its saved state, as the check of the
// recording found them.
void Player::ReadStartingExercise() {
    const std::string path =
        std::string(Trimmed(std::string_view(script_.start).substr(script_.start.find("exercise") + 8)));
    const auto text = ReadWholeFile(path, kRecordingMaxBytes);
    if (!text) return;
    auto read = ReadExercise(*text, scratch_->filePath(QStringLiteral("exercise")).toStdString(),
                             QFileInfo(QString::fromStdString(path)).absolutePath().toStdString());
    auto* exercise = std::get_if<Exercise>(&read);
    if (!exercise) return;
    exercise_ = std::move(*exercise);
    if (exercise_->state.empty()) return;
    const auto state = ReadWholeFile(exercise_->state, kRecordingMaxBytes);
    if (!state) return;
    auto played = ReadPlayScript(*state, scratch_->filePath(QStringLiteral("state")).toStdString());
    if (auto* script = std::get_if<PlayScript>(&played)) exerciseState_ = std::move(*script);
}

Player::~Player() {
    qApp->removeEventFilter(this);
}

const char* Player::Text(const char* de, const char* en) const {
    return window_->Sim().state.Text(de, en);
}

void Player::BuildBar() {
    DeviceWindow& window = *window_;
    bar_ = new QToolBar(&window);
    bar_->setObjectName(QStringLiteral("PlayerBar"));
    bar_->setMovable(false);
    bar_->setFloatable(false);
    pause_ = new QToolButton(bar_);
    pause_->setObjectName(QStringLiteral("PlayerPause"));
    connect(pause_, &QToolButton::clicked, this, [this] { SetPaused(!paused_); });
    bar_->addWidget(pause_);
    speedBox_ = new QComboBox(bar_);
    speedBox_->setObjectName(QStringLiteral("PlayerSpeed"));
    for (int factor : kSpeeds)
        speedBox_->addItem(QStringLiteral("%1\u00D7").arg(factor), factor);
    connect(speedBox_, &QComboBox::activated, this,
            [this](int i) { SetSpeed(speedBox_->itemData(i).toInt()); });
    bar_->addWidget(speedBox_);
    progress_ = new QProgressBar(bar_);
    progress_->setObjectName(QStringLiteral("PlayerProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(260);
    bar_->addWidget(progress_);
    time_ = new QLabel(bar_);
    time_->setObjectName(QStringLiteral("PlayerTime"));
    time_->setContentsMargins(8, 0, 8, 0);
    bar_->addWidget(time_);
    bar_->addAction(window.Menus().Action(ActionId::Trend));
    message_ = new QLabel(bar_);
    message_->setObjectName(QStringLiteral("PlayerMessage"));
    message_->setTextFormat(Qt::PlainText); // the recording's text, never markup
    message_->setContentsMargins(8, 0, 8, 0);
    bar_->addWidget(message_);
    window.addToolBar(Qt::BottomToolBarArea, bar_);
    ShowProgress();
}

void Player::SetSpeed(int factor) {
    speed_ = factor;
    const int index = speedBox_->findData(factor);
    if (index >= 0) speedBox_->setCurrentIndex(index);
}

void Player::SetPaused(bool paused) {
    paused_ = paused || finished_;
    if (paused_) {
        frame_.stop();
    } else {
        wall_.start();
        frame_.start();
    }
    ShowProgress();
}

void Player::Tick() {
    PlayUntil(clock_.NowMs() + wall_.restart() * speed_);
}

void Player::PlayUntil(int64_t ms) {
    if (busy_ || finished_) return; // a line being played lets events run, this timer's among them
    busy_ = true;
    const auto& steps = script_.steps;
    while (next_ < steps.size() && steps[next_].atMs <= ms) {
        const PlayStep& step = steps[next_++];
        if (step.atMs > clock_.NowMs()) clock_.Advance(step.atMs - clock_.NowMs());
        RunStep(step);
    }
    const int64_t target = next_ < steps.size() ? ms : std::min(ms, script_.endMs);
    if (target > clock_.NowMs()) clock_.Advance(target - clock_.NowMs());
    busy_ = false;
    if (next_ == steps.size() && clock_.NowMs() >= script_.endMs) {
        finished_ = true;
        SetPaused(true);
    }
    window_->AfterEvent();
    ShowProgress();
}

void Player::RunStep(const PlayStep& step) {
    try {
        runner_.Execute(step.text);
    } catch (const std::runtime_error& e) {
        // The check ran the same lines; a fault here is the window's own and ends the playing.
        ShowMessage("error " + std::to_string(step.line) + ": " + e.what(), MsgButton::None);
        next_ = script_.steps.size();
        return;
    }
    discarded_.str({});
    const std::string_view name = Runner::CommandName(step.text);
    if (name == "press" || name == "release") {
        ShowKey(step.text, name == "press");
        return;
    }
    if (name != "down" && name != "up" && name != "move") return;
    int x = 0, y = 0;
    if (std::sscanf(step.text.c_str(), "%*s %d %d", &x, &y) == 2) {
        mark_->Place(x, y, name == "down" || (name == "move" && mark_->Pressed()), window_->Zoom());
    }
}

// A device key worked on the keyboard: the pointer at its centre, the key drawn pressed while held.
void Player::ShowKey(const std::string& line, bool pressed) {
    const auto words = SplitWords(line);
    if (!words || words->size() < 2) return;
    for (int i = 0; i < 3; ++i) {
        if ((*words)[1].text != kKeyWords[i]) continue;
        mark_->Place(layout::KeyCentres[i].x, layout::KeyCentres[i].y, pressed, window_->Zoom());
        window_->Picture()->ShowKeyHeld(pressed ? KeyOfIndex(i) : DeviceKey::None);
    }
}

void Player::ShowProgress() {
    const int64_t length = std::max<int64_t>(1, script_.endMs - script_.startMs);
    const int64_t played = clock_.NowMs() - script_.startMs;
    progress_->setValue(static_cast<int>(std::clamp<int64_t>(played * 1000 / length, 0, 1000)));
    QString time = QString::fromStdString(MinutesSeconds(played) + " / " + MinutesSeconds(length));
    if (finished_) time += QStringLiteral("  ") + QString::fromUtf8(Text("Ende", "End"));
    if (script_.truncated)
        time += QStringLiteral("  ") +
                QString::fromUtf8(Text("(letzte Zeile unvollständig)", "(last line incomplete)"));
    time_->setText(time);
    pause_->setIcon(bar_->style()->standardIcon(paused_ ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    pause_->setToolTip(QString::fromUtf8(paused_ ? Text("Abspielen", "Play") : Text("Pause", "Pause")));
    pause_->setEnabled(!finished_);
}

void Player::ShowMessage(const std::string& text, MsgButton answer) {
    QString shown = QString::fromStdString(text).section(QLatin1Char('\n'), 0, 0);
    if (answer != MsgButton::None)
        shown += QStringLiteral(" \u2192 ") + QString::fromUtf8(MsgButtonName(answer));
    message_->setText(shown);
    messageShown_.start();
}

bool Player::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == window_.get()) {
        // The played device is not asked whether to save: it lives in the scratch folder.
        frame_.stop();
        finished_ = true;
        emit Closed();
        return true;
    }
    // The trend window is a viewer and stays usable; the windows of the device take nothing.
    return IsDeviceInput(watched, *event, {window_.get(), &window_->InitInfo(), &window_->ParameterTable()},
                         bar_);
}

std::unique_ptr<Player> OpenPlayer(QWidget* parent, const QString& path, bool german) {
    const auto refuse = [&](const QString& why) {
        RefuseFile(parent,
                   german ? QStringLiteral("Die Aufzeichnung kann nicht abgespielt werden:")
                          : QStringLiteral("The recording cannot be played:"),
                   path, why);
        return std::unique_ptr<Player>();
    };
    const auto text = ReadWholeFile(path.toStdString(), kRecordingMaxBytes);
    if (!text) return refuse(UnreadableFileText(german));
    auto scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) return refuse(scratch->errorString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto read = ReadPlayScript(*text, scratch->filePath(QStringLiteral("check")).toStdString());
    QApplication::restoreOverrideCursor();
    if (const auto* problem = std::get_if<ScriptProblem>(&read))
        return refuse(
            QStringLiteral("error %1: %2").arg(problem->line).arg(QString::fromStdString(problem->reason)));
    return std::make_unique<Player>(std::move(std::get<PlayScript>(read)), std::move(scratch),
                                    QFileInfo(path).fileName());
}

} // namespace vp7
