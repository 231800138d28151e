// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/MainWindow.h"

#include "formats/IniFile.h"
#include "sim/display/Splash.h"
#include "sim/files/Settings.h"
#include "sim/motion/Controller.h"
#include "sim/operation/ParamTableView.h"
#include "ui/app/HelpMenu.h"
#include "ui/app/MenuBar.h"
#include "ui/app/WindowAccess.h"
#include "ui/app/ZoomControl.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/DeviceKeyboard.h"
#include "ui/device/KeyboardHelp.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/CompareDialog.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/Player.h"

#include <QAbstractEventDispatcher>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The help labels' background as the form stores it, blue in the high byte: RGB (202, 244, 145).
constexpr int kHelpLabelBgr = 9565386;
const QColor kHelpLabelBackground(kHelpLabelBgr & 0xFF, (kHelpLabelBgr >> 8) & 0xFF,
                                  (kHelpLabelBgr >> 16) & 0xFF);

// A recorded session starts without the splash, as a replay of it does.
SimulatorOptions Options(const std::string& programDir, const SessionMode& session) {
    SimulatorOptions options{programDir, 0, UserDataDir()};
    options.withoutSplash = !session.recordPath.empty() || session.script;
    options.randomSeed = session.randomSeed;
    options.settingsFrom = session.settingsFrom;
    return options;
}

// Scroll bars appear only when a zoom shows the form larger than the screen. The keys stay the
// device's: arrow keys and Page Up/Down pass on to the window instead of scrolling.
class FormScroller : public QScrollArea {
public:
    FormScroller(QWidget* form, QWidget* parent) : QScrollArea(parent) {
        setObjectName(QStringLiteral("FormScroller"));
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setWidgetResizable(true);
        setWidget(form);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
};

} // namespace

std::string UserDataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

MainWindow::MainWindow(const std::string& programDir, int scale, Clock* clock, SessionMode session)
    : clock_(clock ? *clock : realClock_), host_(this), screenScale_(scale),
      sprites_(LoadArtwork(ZoomControl::StartingPictureScale(programDir, UserDataDir(), scale))),
      programDir_(programDir),
      session_(std::make_unique<Session>(clock_, host_, sprites_, Options(programDir, session))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(ProgramIcon());
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    setFont(f);
    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("Client"));
    form_->setMinimumSize(kClientWidth, kClientHeight);
    form_->setMouseTracking(true);
    // Group captions sit on the frame's top line, as the window was designed, so the children's
    // positions inside their groups stay as laid out.
    form_->setStyleSheet(FormStyle(FormZoom(), *style()));
    setMouseTracking(true);
    setCentralWidget(new FormScroller(form_, this));

    // A real clock from outside (an exercise's) is served as the window's own.
    host_.OnBeforeModal([this] {
        if (QtClock* live = LiveClock()) live->Thaw();
        AfterEvent();
    });
    host_.OnAnswered([this](const UserAction& answer) { Sim().Answered(answer); });
    if (QtClock* live = LiveClock()) live->AfterEachTick([this] { AfterEvent(); });
    // Events of the small windows reach the simulator too; whatever they changed is taken before the
    // event loop sleeps.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { AfterEvent(); });

    BuildMenu();
    BuildControls();
    built_ = true;
    view_ = new ZoomControl(*this);
    Sim().image1.KeepLog(); // a new zoom draws the picture again from it
    keyboard_ = std::make_unique<DeviceKeyboard>(*this);
    AddKeyboardHelp(*this);
    AddHelpMenu(*this);
    MakeWindowAccessible(*this);

    AddSettingsSection([this](const IniFile& ini) { trendSettings_.Read(ini); },
                       [this](IniFile& ini) { trendSettings_.Write(ini); });
    host_.PlayFrom(session.script);
    if (session.beforeStart) session.beforeStart(Sim());
    session_->Start(session.afterCreate);
    if (!session.recordPath.empty()) session_->Record(NewRecorder(session.recordPath, session.startLine));
    view_->Start();
    AfterEvent();
    ShowRecording();
    adjustSize();
    if (Sim().form.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

// The window was designed as 1025 x 768 points with its frame, centred on the screen; the frame's size
// is known only once the window is shown.
void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placed_ || isMaximized()) return;
    placed_ = true;
    SizeToForm(true);
}

MainWindow::~MainWindow() = default;

Control& MainWindow::Current(const std::string& name) {
    changes_.Refresh(name);
    return *Sim().form.Find(name);
}

QtClock* MainWindow::LiveClock() {
    return dynamic_cast<QtClock*>(&Sim().clock);
}

void MainWindow::AddSettingsSection(std::function<void(const IniFile&)> read,
                                    std::function<void(IniFile&)> write) {
    Sim().settings.AddSection(read, write);
    sections_.emplace_back(std::move(read), std::move(write));
}

std::unique_ptr<Session> MainWindow::NewSession(std::unique_ptr<Clock> clock, std::optional<uint64_t> seed,
                                                const std::string& settingsFrom) {
    SimulatorOptions options{programDir_, 0, UserDataDir()};
    options.withoutSplash = true;
    options.randomSeed = seed;
    options.settingsFrom = settingsFrom;
    auto next = std::make_unique<Session>(std::move(clock), host_, sprites_, std::move(options));
    next->Sim().image1.KeepLog();
    return next;
}

void MainWindow::TakeSession(std::unique_ptr<Session> next) {
    // The held key is let go on the old device; the keyboard's release timer runs on the old clock.
    keyboard_->LetGo();
    keyboard_.reset();
    std::unique_ptr<Session> old = std::exchange(session_, std::move(next));
    Simulator& sim = Sim();
    picture_->Rebind(sim, sim.image1);
    splashView_->Rebind(sim, sim.splash.image2);
    if (QtClock* live = LiveClock()) live->AfterEachTick([this] { AfterEvent(); });
    // The new device read its settings when it was created; the window's sections are written with
    // them from now on.
    for (const auto& [read, write] : sections_)
        sim.settings.AddSection(read, write);
    session_->Trend().Conceal(hidden_);
    emit SessionTaken();
    old.reset();
    keyboard_ = std::make_unique<DeviceKeyboard>(*this);
    // Every widget shown as the new device has it, whatever changed since the last sync.
    sim.TakeViewChange();
    SyncFromForm();
    ShowRecording();
    AfterEvent();
}

QWidget* MainWindow::MakeWidget(const Control& c, QWidget* parent) {
    const std::string name = c.name;
    switch (c.kind) {
    case ControlKind::CheckBox: {
        auto* w = new QCheckBox(Q(c.caption), parent);
        connect(w, &QCheckBox::clicked, this, [this, name](bool on) {
            Sim().UserCheck(Current(name), on);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::RadioButton: {
        auto* w = new QRadioButton(Q(c.caption), parent);
        connect(w, &QRadioButton::clicked, this, [this, name] {
            Sim().UserCheck(Current(name), true);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::RadioGroup: {
        auto* box = new QGroupBox(Q(c.caption), parent);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < static_cast<int>(c.items.size()); ++i)
            group->addButton(new QRadioButton(Q(c.items[i]), box), i); // placed with the form's zoom
        connect(group, &QButtonGroup::idClicked, this, [this, name](int i) {
            Sim().UserSelect(Current(name), i);
            AfterEvent();
        });
        return box;
    }
    case ControlKind::Group:
        return new QGroupBox(Q(c.caption), parent);
    case ControlKind::Edit: {
        auto* w = new QLineEdit(Q(c.text), parent);
        connect(w, &QLineEdit::textEdited, this,
                [this, name](const QString& t) { Sim().UserEdit(Current(name), t.toStdString()); });
        connect(w, &QLineEdit::returnPressed, this, [this, name] {
            Sim().UserKeyDown(Current(name), Controller::KeyEnter);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::Button: {
        auto* w = new QPushButton(Q(c.caption), parent);
        if (c.name == "SetpointButton") w->setIcon(SetpointGlyph()); // sized with the form's zoom
        connect(w, &QPushButton::clicked, this, [this, name] {
            Sim().UserClick(Current(name));
            AfterEvent();
        });
        return w;
    }
    case ControlKind::Label: {
        auto* w = new QLabel(parent);
        if (c.name == "HilfeOben" || c.name == "HilfeUnten" || c.name == "HelpText") {
            w->setAutoFillBackground(true);
            w->setStyleSheet(
                QStringLiteral("background-color: %1; color: black;").arg(kHelpLabelBackground.name()));
            w->setFont(HelpLabelFont());
        }
        return w;
    }
    case ControlKind::StaticText:
        return new QLabel(Q(c.caption), parent);
    case ControlKind::Shape: {
        auto* w = new QLabel(parent);
        w->setStyleSheet(LatchCircleStyle(FormZoom()));
        return w;
    }
    case ControlKind::Image:
        if (c.name == "Image1") return picture_ = new PictureWidget(Sim(), Sim().image1, parent);
        return splashView_ = new PictureWidget(Sim(), Sim().splash.image2, parent);
    case ControlKind::MenuItem:
        break;
    }
    return nullptr;
}

void MainWindow::BuildControls() {
    for (Control* c : Sim().form.All()) {
        if (c->kind == ControlKind::MenuItem) continue;
        QWidget* parent = c->parent.empty() ? form_ : widgets_.at(c->parent);
        QWidget* w = MakeWidget(*c, parent);
        w->setObjectName(Q(c->name));
        if (c->width > 0)
            w->setGeometry(c->left, c->top, c->width, c->height);
        else
            w->move(c->left, c->top);
        widgets_[c->name] = w;
    }
    connect(picture_, &PictureWidget::PointerUsed, this, [this] { AfterEvent(); });
    for (const char* circle : {"StaticUmschalt", "StaticKleiner", "StaticGroesser"})
        widgets_.at(circle)->installEventFilter(this);
}

void MainWindow::BuildMenu() {
    menus_ = std::make_unique<MenuBar>(*menuBar(), Sim().form);
    menus_->Add(MenuPart::Window, Sim().state.Language);
    for (Control* c : Sim().form.All()) {
        QAction* item = c->kind == ControlKind::MenuItem ? menus_->Item(*c) : nullptr;
        if (!item || item->menu()) continue;
        connect(item, &QAction::triggered, this, [this, name = c->name] {
            Sim().UserClick(Current(name));
            AfterEvent();
        });
    }
    BuildRecordingItems();
}

// The window's own items of "Datei": record a session (the program starts afresh into the recording),
// stop and play one, open an exercise, compare configurations. The running recording shows as a red
// dot with its time at the menu bar's right end.
void MainWindow::BuildRecordingItems() {
    const auto on = [this](ActionId id, auto handler) {
        connect(menus_->Action(id), &QAction::triggered, this, handler);
    };
    // An exercise's device refuses them even when reached while greyed.
    const auto unlessExercise = [this, on](ActionId id, auto handler) {
        on(id, [this, handler] {
            if (!RefusedInExercise()) handler();
        });
    };
    unlessExercise(ActionId::Record, [this] { AskForRecording(); });
    unlessExercise(ActionId::StopRecording, [this] { StopRecording(); });
    unlessExercise(ActionId::Play, [this] { PlayRecording(); });
    unlessExercise(ActionId::Exercise, [this] { StartExercise(); });
    on(ActionId::Compare, [this] { CompareConfigurations(this, Sim()); });
    recordingMark_ = new QLabel(this);
    recordingMark_->setObjectName(QStringLiteral("RecordingMark"));
    recordingMark_->setStyleSheet(QStringLiteral("color: #c00000; padding: 0 8px;"));
    menuBar()->setCornerWidget(recordingMark_, Qt::TopRightCorner);
    recordingClock_ = new QTimer(this);
    recordingClock_->setInterval(1000);
    connect(recordingClock_, &QTimer::timeout, this, [this] { ShowRecording(); });
}

void MainWindow::ShowRecording() {
    // A recording that cannot be opened or no longer written (a full disk, a removed medium) ends with
    // a word.
    if (Recorder() && !Recorder()->Good()) {
        const std::string path = Recorder()->Path();
        session_->StopRecording();
        host_.MessageDlg(Sim().state.Text("Die Aufzeichnung kann nicht geschrieben werden:\n",
                                          "The recording cannot be written:\n") +
                             path,
                         MsgType::Error, MsgButton::OK);
    }
    const bool on = Recording();
    menus_->Action(ActionId::Record)->setEnabled(!on && !exerciseDevice_);
    menus_->Action(ActionId::StopRecording)->setEnabled(on && !exerciseDevice_);
    recordingMark_->setVisible(on);
    if (!on) {
        recordingClock_->stop();
        return;
    }
    if (!recordingClock_->isActive()) recordingClock_->start();
    const int64_t seconds = Recorder()->ElapsedMs() / 1000;
    recordingMark_->setText(
        QStringLiteral("\u25CF %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void MainWindow::KeepForExercise() {
    exerciseDevice_ = true;
    for (const ActionId id : {ActionId::Play, ActionId::Exercise})
        menus_->Action(id)->setEnabled(false);
    ShowRecording();
}

bool MainWindow::RefusedInExercise() {
    if (!exerciseDevice_) return false;
    ShowPlainMessage(this, QMessageBox::Information,
                     QString::fromUtf8(Sim().state.Text(
                         "Während einer Übung nicht möglich: Die Aufzeichnung läuft bis zur Abgabe, und es "
                         "wird keine andere Aufzeichnung, Übung oder Sitzung geladen.",
                         "Not during an exercise: its recording runs until it is handed in, and no other "
                         "recording, exercise or session is loaded.")));
    return true;
}

void MainWindow::StopRecording() {
    if (!Recording()) return;
    const QString path = QString::fromStdString(Recorder()->Path());
    session_->StopRecording();
    ShowRecording();
    emit RecordingStopped(path);
}

std::unique_ptr<SessionRecorder> MainWindow::NewRecorder(const std::string& path,
                                                         const std::string& startLine,
                                                         std::optional<int64_t> startMs) {
    const std::string header = "vp7sim " VP7_VERSION ", recorded " +
                               QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    return std::make_unique<SessionRecorder>(Sim(), path, header, startLine, startMs);
}

void MainWindow::StartRecording(const std::string& path, const std::string& startLine) {
    session_->Record(NewRecorder(path, startLine, Sim().clock.NowMs()));
    ShowRecording();
}

void MainWindow::ContinueRecording(const std::string& path, SessionRecorder::Continuation from) {
    session_->Record(std::make_unique<SessionRecorder>(Sim(), path, from));
    ShowRecording();
}

bool MainWindow::RestartWith(QStringList arguments) {
    restartArguments_ = std::move(arguments);
    if (close()) return true;
    restartArguments_.clear();
    return false;
}

void MainWindow::LetGoOfKeys() {
    keyboard_->LetGo();
}

void MainWindow::PlayRecording(const QString& path) {
    QString chosen = path;
    // Not through the host: choosing a recording to watch is no action of the device's session.
    if (chosen.isEmpty())
        chosen = QFileDialog::getOpenFileName(
            this, {}, QString::fromStdString(Sim().settings.DataDir()),
            QString::fromUtf8(Sim().state.Text("Aufzeichnung (*.vp7s);;Alle Dateien (*)",
                                               "Recording (*.vp7s);;All files (*)")));
    if (chosen.isEmpty()) return;
    player_.reset();
    player_ = OpenPlayer(this, chosen, Sim().state.Language == Language::German);
    if (!player_) return;
    player_->Window().View().Follow(*view_);
    player_->PlaceTrendBeside(trendSettings_, QString::fromStdString(Sim().settings.DataDir()));
    // Deleted once its window has closed, after the close event that said so has been handled.
    connect(player_.get(), &Player::Closed, this, [this] { player_.release()->deleteLater(); });
}

// The exercise runs in a device of its own; this window steps aside until it is over.
void MainWindow::StartExercise(const QString& path) {
    if (exercise_) return;
    auto session = OpenExercise(this, path, QCoreApplication::applicationDirPath().toStdString(),
                                Sim().settings.DataDir(), Sim().state.Language == Language::German);
    if (session) RunExercise(std::move(session));
}

void MainWindow::RunExercise(std::unique_ptr<ExerciseSession> session) {
    if (exercise_) {
        disconnect(exercise_.get(), nullptr, this, nullptr);
        exercise_.release()->deleteLater();
    }
    exercise_ = std::move(session);
    exercise_->Window().View().Follow(*view_);
    connect(exercise_.get(), &ExerciseSession::Ended, this, [this] { EndExercise(); });
    hide();
    emit ExerciseChanged();
}

void MainWindow::EndExercise() {
    if (!exercise_) return;
    disconnect(exercise_.get(), nullptr, this, nullptr);
    show();
    exercise_.release()->deleteLater();
    emit ExerciseChanged();
}

void MainWindow::FitStatusBar() {
    const QList<QWidget*> lines = statusBar()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    statusBar()->setVisible(std::ranges::any_of(lines, [this](const QWidget* line) {
        return line->isVisibleTo(statusBar()) && !line->inherits("QSizeGrip");
    }));
}

// The recording starts from the settings in force: they are saved as at closing, and the program starts
// afresh into the recording.
void MainWindow::AskForRecording() {
    const auto path =
        host_.SaveFileDialog(Sim().state.Text("Aufzeichnung (*.vp7s)|*.vp7s", "Recording (*.vp7s)|*.vp7s"),
                             Sim().settings.DataDir(), "vp7s");
    if (!path) return;
    RestartWith({QStringLiteral("--record"), QString::fromStdString(*path)});
}

void MainWindow::Restrict(std::set<std::string> hidden, std::set<std::string> locked) {
    session_->Trend().Conceal(hidden);
    const bool moved = hidden != hidden_;
    hidden_ = std::move(hidden);
    locked_ = std::move(locked);
    if (moved && built_) LayOutForm(); // the rows close up over what is hidden
    SyncFromForm();
}

void MainWindow::HoldForClient(std::set<std::string> held) {
    heldForClient_ = std::move(held);
    SyncFromForm();
}

// Once after every event delivered to the simulator: the widgets follow the form state when it
// changed, the pictures repaint what was drawn.
void MainWindow::AfterEvent() {
    if (Sim().TakeViewChange()) SyncChanges(changes_.Take(Sim().form));
    if (picture_) picture_->RepaintChanged();
    if (splashView_ && splashView_->isVisible()) splashView_->RepaintChanged();
    emit EventHandled();
}

// The red circles on latched keys lie over the picture and take presses and releases there; the
// simulator decides what the pointer reaches. Their drags go on to the window, as moves off the picture.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return QMainWindow::eventFilter(watched, event);
    for (const char* circle : {"StaticUmschalt", "StaticKleiner", "StaticGroesser"}) {
        if (watched != widgets_.at(circle)) continue;
        PictureWidget::DeliverPointer(Sim(), *widgets_.at(circle), *static_cast<QMouseEvent*>(event),
                                      zoom_.Factor());
        AfterEvent();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!Sim().FormCloseQuery()) {
        event->ignore();
        return;
    }
    Sim().FormClose();
    player_.reset();
    event->accept();
    emit Closing();
}

// The window sees keys before its controls: F5 refreshes the parameter table.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const auto m = event->modifiers();
    Sim().FormKeyDown(event->key() == Qt::Key_F5 ? ParamTableView::KeyF5 : 0, m & Qt::ShiftModifier,
                      m & Qt::AltModifier, m & Qt::ControlModifier);
    AfterEvent();
    QMainWindow::keyPressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    Sim().FormMouseMove();
    AfterEvent();
    QMainWindow::mouseMoveEvent(event);
}

} // namespace vp7
